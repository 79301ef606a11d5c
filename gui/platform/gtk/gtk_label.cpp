#include "gui/platform/gtk/gtk_controls.h"

#include <algorithm>

#include "gui/platform/gtk/display_text.h"
#include "gui/platform/gtk/gtk_session.h"
#include "gui/platform/gtk/gtk_system_driver.h"
#include "gui/platform/gtk/live_label.h"
#include "gui/platform/gtk/text_scale.h"

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

void OnSizeAllocate(GtkWidget* widget, GdkRectangle* allocation, gpointer data) {
    int textHeight = 0;
    pango_layout_get_pixel_size(gtk_label_get_layout(GTK_LABEL(widget)), nullptr, &textHeight);
    static_cast<TGtkLabel*>(data)->Allocated(allocation->height, textHeight);
}

// The height of the row of single-line gadgets (fields, buttons, check boxes) that share the
// label's top, or the label's own height when none is taller.
int RowHeight(const TGadget& label) {
    int row = label.height;
    const TGadgetPtr group = label.GetGroup();
    if (!group) return row;
    for (const TGadgetPtr& kid : group->kids) {
        const int kind = kid->Class();
        if (kid->ypos == label.ypos && (kind == GADGET_TEXTFIELD || kind == GADGET_BUTTON))
            row = std::max(row, kid->height);
    }
    return row;
}

}  // namespace

TGtkLabel::TGtkLabel(int gadgetStyle) : TGtkGadget(GADGET_LABEL, gadgetStyle) {
    GtkWidget* label = tervala_label_new();
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    Adopt(label, label);
    Connect(label, "size-allocate", G_CALLBACK(OnSizeAllocate));
}

// A label centres its text in its rectangle, and one beside a taller field or check box
// (the 20-px "minutes" beside its 24-px field) centres it on their row instead, as far as
// its own rectangle allows, so that the texts of one row line up.
void TGtkLabel::Allocated(int allocatedHeight, int textHeight) {
    GtkLabel* label = GTK_LABEL(Outer());
    const int room = allocatedHeight - textHeight;
    float yalign = 0.5f;
    if (room > 0) {
        const float rowTop = (Scaled(RowHeight(*this)) - textHeight) / 2.0f;
        yalign = std::clamp(rowTop / static_cast<float>(room), 0.0f, 1.0f);
    }
    if (gtk_label_get_yalign(label) != yalign) gtk_label_set_yalign(label, yalign);
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

void TGtkLabel::SetAnnounced(int announced) {
    tervala_label_set_announced(TERVALA_LABEL(Outer()), announced != 0);
}

std::string TGtkLabel::GetText() const {
    const std::lock_guard<std::mutex> lock(text_->lock);
    return text_->text;
}

}  // namespace gui::gtk
