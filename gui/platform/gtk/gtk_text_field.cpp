#include "gui/platform/gtk/gtk_controls.h"

#include "gui/platform/gtk/compact_style.h"
#include "gui/platform/gtk/display_text.h"

namespace gui::gtk {

namespace {

void OnFocusMoved(GObject*, GParamSpec*, gpointer data) {
    static_cast<TGtkTextField*>(data)->ShowBeginning();
}

void OnAllocated(GtkWidget*, GdkRectangle*, gpointer data) {
    static_cast<TGtkTextField*>(data)->ShowBeginning();
}

}  // namespace

TGtkTextField::TGtkTextField(int gadgetStyle) : TGtkGadget(GADGET_TEXTFIELD, gadgetStyle) {
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);
    if (style & TEXTFIELD_PASSWORD) gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
    Adopt(entry, entry);
    ReportEdits(entry, "changed");
    Connect(entry, "notify::is-focus", G_CALLBACK(OnFocusMoved));
    Connect(entry, "size-allocate", G_CALLBACK(OnAllocated));
}

void TGtkTextField::SetText(const std::string& text) {
    Quietly([&] { gtk_entry_set_text(GTK_ENTRY(Inner()), DisplayText(text).c_str()); });
    ShowBeginning();
}

// GTK keeps the caret where typing left it, at the end, and a narrow field would show "20"
// of "120"; the beginning of a path or number is what tells it apart.
void TGtkTextField::ShowBeginning() {
    if (!gtk_widget_is_focus(Inner())) gtk_editable_set_position(GTK_EDITABLE(Inner()), 0);
    UpdateTooltip();
}

void TGtkTextField::UpdateTooltip() {
    GtkEntry* entry = GTK_ENTRY(Inner());
    int textWidth = 0;
    pango_layout_get_pixel_size(gtk_entry_get_layout(entry), &textWidth, nullptr);
    GdkRectangle textArea;
    gtk_entry_get_text_area(entry, &textArea);
    const bool cut = gtk_widget_get_realized(Inner()) && textWidth > textArea.width;
    const char* text = gtk_entry_get_text(entry);
    gtk_widget_set_tooltip_text(Inner(), cut && gtk_entry_get_visibility(entry) ? text : nullptr);
}

// Not editable: paste, drop, middle-click and assistive tools change nothing either, while
// the text can still be selected and copied.
void TGtkTextField::SetReadOnly(int readOnly) {
    gtk_editable_set_editable(GTK_EDITABLE(Inner()), readOnly == 0);
}

// A field a few characters wide (the interval field is 20 px) would lose most of its width to
// the usual padding and show one digit at a time, so it keeps no padding inside its border.
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
