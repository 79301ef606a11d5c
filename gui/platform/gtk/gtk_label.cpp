#include "gui/platform/gtk/gtk_controls.h"

namespace gui::gtk {

namespace {

// A text on its way from another thread to the main loop.
struct TPendingText {
    GtkLabel* label;  // referenced until the text is shown
    std::string text;
};

gboolean ShowPendingText(gpointer data) {
    auto* pending = static_cast<TPendingText*>(data);
    gtk_label_set_text(pending->label, pending->text.c_str());
    return G_SOURCE_REMOVE;
}

void DropPendingText(gpointer data) {
    auto* pending = static_cast<TPendingText*>(data);
    g_object_unref(pending->label);
    delete pending;
}

}  // namespace

TGtkLabel::TGtkLabel(int gadgetStyle) : TGtkGadget(GADGET_LABEL, gadgetStyle) {
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    Adopt(label, label);
}

// Idle sources of one priority run in the order they were added, so the last text set
// is the one that stays; GetText answers with it at once.
void TGtkLabel::SetText(const std::string& text) {
    {
        const std::lock_guard<std::mutex> lock(textLock_);
        text_ = text;
    }
    GtkLabel* label = GTK_LABEL(Outer());
    if (OnMainThread()) {
        gtk_label_set_text(label, text.c_str());
        return;
    }
    g_idle_add_full(G_PRIORITY_DEFAULT, ShowPendingText,
                    new TPendingText{GTK_LABEL(g_object_ref(label)), text}, DropPendingText);
}

std::string TGtkLabel::GetText() const {
    const std::lock_guard<std::mutex> lock(textLock_);
    return text_;
}

}  // namespace gui::gtk
