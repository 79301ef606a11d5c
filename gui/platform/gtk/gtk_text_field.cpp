#include "gui/platform/gtk/gtk_controls.h"

#include "gui/platform/gtk/compact_style.h"
#include "gui/platform/gtk/display_text.h"

namespace gui::gtk {

TGtkTextField::TGtkTextField(int gadgetStyle) : TGtkGadget(GADGET_TEXTFIELD, gadgetStyle) {
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
    if (style & TEXTFIELD_PASSWORD) gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
    Adopt(entry, entry);
    ReportEdits(entry, "changed");
}

void TGtkTextField::SetText(const std::string& text) {
    Quietly([&] { gtk_entry_set_text(GTK_ENTRY(Inner()), DisplayText(text).c_str()); });
}

// A field a few characters wide (the interval field is 20 px) would lose most of its width to
// the usual padding and show one digit at a time, so it keeps only a pixel on each side.
void TGtkTextField::Rethink() {
    GtkStyleContext* look = gtk_widget_get_style_context(Inner());
    if (width < kNarrowFieldWidth)
        gtk_style_context_add_class(look, kNarrowClass);
    else
        gtk_style_context_remove_class(look, kNarrowClass);
    TGtkGadget::Rethink();
}

std::string TGtkTextField::GetText() const { return gtk_entry_get_text(GTK_ENTRY(Inner())); }

int TGtkTextField::Activate(int command) {
    GtkEditable* editable = GTK_EDITABLE(Inner());
    switch (command) {
        case ACTIVATE_CUT:
            gtk_editable_cut_clipboard(editable);
            return 1;
        case ACTIVATE_COPY:
            gtk_editable_copy_clipboard(editable);
            return 1;
        case ACTIVATE_PASTE:
            gtk_editable_paste_clipboard(editable);
            return 1;
        default:
            return TGtkGadget::Activate(command);
    }
}

}  // namespace gui::gtk
