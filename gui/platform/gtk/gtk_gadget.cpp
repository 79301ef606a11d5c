#include "gui/platform/gtk/gtk_gadget.h"

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/platform/gtk/gtk_input.h"
#include "gui/platform/gtk/text_scale.h"

namespace gui::gtk {

namespace {

constexpr const char* kGadgetKey = "tervala-gadget";

void OnEdited(gpointer, gpointer data) {
    RaiseGadgetEvent(GadgetAction, static_cast<TGtkGadget*>(data)->shared_from_this(), 0);
}

gboolean OnFocusOut(GtkWidget*, GdkEvent*, gpointer data) {
    RaiseGadgetEvent(GadgetLostFocus, static_cast<TGtkGadget*>(data)->shared_from_this());
    return FALSE;
}

}  // namespace

TGtkGadget::TGtkGadget(int kind, int gadgetStyle) : kind_(kind) { style = gadgetStyle; }

// A gadget dropped without being freed leaves its widgets to GTK; nothing there may still
// lead back to it.
TGtkGadget::~TGtkGadget() {
    Disconnect();
    for (GtkWidget* widget : {inner_, outer_}) {
        if (widget == nullptr) continue;
        g_object_set_data(G_OBJECT(widget), kGadgetKey, nullptr);
        g_object_unref(widget);
    }
}

void TGtkGadget::Adopt(GtkWidget* outer, GtkWidget* inner) {
    outer_ = GTK_WIDGET(g_object_ref_sink(outer));
    inner_ = GTK_WIDGET(g_object_ref(inner));
    g_object_set_data(G_OBJECT(outer_), kGadgetKey, this);
    g_object_set_data(G_OBJECT(inner_), kGadgetKey, this);
    ReportInput(*this, inner_);
}

TGtkGadget* TGtkGadget::OfWidget(GtkWidget* widget) {
    return static_cast<TGtkGadget*>(g_object_get_data(G_OBJECT(widget), kGadgetKey));
}

void TGtkGadget::Connect(gpointer instance, const char* signal, GCallback handler) {
    const gulong id = g_signal_connect(instance, signal, handler, this);
    connections_.push_back({G_OBJECT(g_object_ref(instance)), id});
}

void TGtkGadget::ReportEdits(gpointer changeSource, const char* changedSignal) {
    Connect(changeSource, changedSignal, G_CALLBACK(OnEdited));
    Connect(inner_, "focus-out-event", G_CALLBACK(OnFocusOut));
}

void TGtkGadget::Block(bool blocked) {
    for (const TConnection& c : connections_) {
        if (blocked)
            g_signal_handler_block(c.instance, c.id);
        else
            g_signal_handler_unblock(c.instance, c.id);
    }
}

void TGtkGadget::Disconnect() {
    for (const TConnection& c : connections_) {
        g_signal_handler_disconnect(c.instance, c.id);
        g_object_unref(c.instance);
    }
    connections_.clear();
}

int TGtkGadget::State() const {
    if (outer_ == nullptr) return 0;
    int state = 0;
    if (!gtk_widget_get_sensitive(outer_)) state |= STATE_DISABLED;
    if (!gtk_widget_get_visible(outer_)) state |= STATE_HIDDEN;
    return state;
}

void TGtkGadget::SetEnabled(int enabled) {
    if (outer_ != nullptr) gtk_widget_set_sensitive(outer_, enabled != 0);
}

void TGtkGadget::SetShow(int show) {
    if (outer_ != nullptr) gtk_widget_set_visible(outer_, show != 0);
}

void TGtkGadget::Rethink() {
    if (outer_ == nullptr || freed_) return;
    const auto* group = dynamic_cast<const TGtkGadget*>(GetGroup().get());
    if (group == nullptr || group->ClientArea() == nullptr) return;
    tervala_client_area_place(group->ClientArea(), outer_, Scaled(xpos), Scaled(ypos),
                              ScaledLength(xpos, width), ScaledLength(ypos, height));
}

int TGtkGadget::Activate(int command) {
    if (inner_ == nullptr) return 0;
    switch (command) {
        case ACTIVATE_FOCUS:
            gtk_widget_grab_focus(inner_);
            return 1;
        case ACTIVATE_FORWARD:
        case ACTIVATE_BACK:
            return gtk_widget_child_focus(gtk_widget_get_toplevel(inner_),
                                          command == ACTIVATE_FORWARD ? GTK_DIR_TAB_FORWARD
                                                                      : GTK_DIR_TAB_BACKWARD);
        case ACTIVATE_REDRAW:
            gtk_widget_queue_draw(outer_);
            return 1;
        default:
            return 0;
    }
}

void TGtkGadget::Free() {
    if (freed_) return;
    freed_ = true;
    Disconnect();
    if (outer_ != nullptr) gtk_widget_destroy(outer_);
}

void TGtkGadget::SetTooltip(const std::string& tip) {
    if (outer_ != nullptr) gtk_widget_set_tooltip_text(outer_, tip.empty() ? nullptr : tip.c_str());
}

std::string TGtkGadget::GetTooltip() const {
    if (outer_ == nullptr) return {};
    gchar* tip = gtk_widget_get_tooltip_text(outer_);
    std::string text = tip != nullptr ? tip : "";
    g_free(tip);
    return text;
}

std::string MnemonicText(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            result += "__";
        } else if (text[i] == '&' && i + 1 < text.size()) {
            result += text[i + 1] == '&' ? '&' : '_';
            if (text[i + 1] == '&') ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

GtkWidget* WidgetOf(const TGadgetPtr& gadget) {
    const auto* g = dynamic_cast<const TGtkGadget*>(gadget.get());
    return g != nullptr ? g->Outer() : nullptr;
}

}  // namespace gui::gtk
