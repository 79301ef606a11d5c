#pragma once
// Keyboard and mouse input of a gadget's widget: the key filter that may swallow a key
// before the widget sees it, and the raw KeyDown/KeyChar/Mouse... events a gadget asks
// for through its sensitivity.

#include <gtk/gtk.h>

namespace gui::gtk {

class TGtkGadget;

// The toolkit's modifier bits for a GDK modifier state.
int ModifiersOf(guint state);
// The toolkit's key code for a key (virtual-key numbering: 'A', '0', 13 for Return...).
int KeyCodeOf(guint keyval);
// The character a key press types, as a code point, or 0 when it types none.
int CharacterOf(guint keyval, guint state);

void ReportInput(TGtkGadget& gadget, GtkWidget* widget);

}  // namespace gui::gtk
