#include "gui/platform/gtk/gtk_controls.h"

#include "gui/platform/gtk/display_text.h"
#include "gui/platform/gtk/gtk_session.h"
#include "gui/platform/gtk/gtk_system_driver.h"

namespace gui::gtk {

namespace {

// A change made on another thread, waiting for the main loop.
struct TPendingText {
    GtkLabel* label;  // referenced until the callback has run
    std::shared_ptr<TLabelText> text;
};

// Shows the label's latest text, so a change made on the main thread meanwhile is never
// overwritten by an older one from the worker.
gboolean ShowPendingText(gpointer data) {
    auto* pending = static_cast<TPendingText*>(data);
    const std::lock_guard<std::mutex> lock(pending->text->lock);
    gtk_label_set_text(pending->label, DisplayText(pending->text->text).c_str());
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

// GetText answers with the new text at once, even before the main loop has shown it.
void TGtkLabel::SetText(const std::string& text) {
    GtkLabel* label = GTK_LABEL(Outer());
    const std::lock_guard<std::mutex> lock(text_->lock);
    text_->text = text;
    if (OnMainThread()) {
        gtk_label_set_text(label, DisplayText(text).c_str());
        return;
    }
    g_idle_add_full(G_PRIORITY_DEFAULT, ShowPendingText,
                    new TPendingText{GTK_LABEL(g_object_ref(label)), text_}, DropPendingText);
    WakeNextPoll();
}

std::string TGtkLabel::GetText() const {
    const std::lock_guard<std::mutex> lock(text_->lock);
    return text_->text;
}

}  // namespace gui::gtk
