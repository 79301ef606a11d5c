#include "gui/platform/gtk/gtk_system_driver.h"

#include <gtk/gtk.h>

#include <atomic>

#include "gui/platform.h"
#include "gui/platform/gtk/display_text.h"
#include "gui/platform/gtk/gtk_modal.h"
#include "gui/platform/gtk/gtk_session.h"
#include "gui/platform/gtk/gtk_window.h"
#include "gui/platform/gtk/text_scale.h"

namespace gui {

std::shared_ptr<TSystemDriver> CreatePlatformSystemDriver() {
    return std::make_shared<gtk::TGtkSystemDriver>();
}

}  // namespace gui

namespace gui::gtk {

namespace {

// Enough for any burst of real input; it only stops a source that re-arms itself at once
// from keeping Poll from returning.
constexpr int kMaxDispatchesPerPoll = 1000;

// A loop of logging polls once per entry, tens of thousands of times a second. After a poll
// that found nothing, GTK is asked again only once this much time has passed, so a scan
// does not spend its time in the main loop; input waits at most this long.
constexpr long long kQuietPollIntervalUs = 1000;

std::atomic<bool> wakeRequested{false};

}  // namespace

void WakeNextPoll() { wakeRequested.store(true); }

TGtkSystemDriver::TGtkSystemDriver() { StartGtk(); }

int TGtkSystemDriver::Drain() {
    int dispatched = 0;
    while (dispatched < kMaxDispatchesPerPoll && g_main_context_iteration(nullptr, FALSE)) {
        ++dispatched;
    }
    return dispatched;
}

void TGtkSystemDriver::Poll() {
    const long long now = g_get_monotonic_time();
    if (!wakeRequested.exchange(false) && now - quietSince_ < kQuietPollIntervalUs) return;
    if (Drain() == 0) quietSince_ = now;
}

void TGtkSystemDriver::Wait() {
    g_main_context_iteration(nullptr, TRUE);
    Drain();
}

void TGtkSystemDriver::MoveMouse(int x, int y) {
    // Client coordinates of the active window, screen coordinates without one.
    if (GtkWindow* active = ActiveToplevel()) {
        const auto* window = dynamic_cast<const TGtkWindow*>(TGtkGadget::OfWidget(GTK_WIDGET(active)));
        GtkWidget* origin = window != nullptr ? GTK_WIDGET(window->ClientArea()) : GTK_WIDGET(active);
        if (GdkWindow* native = gtk_widget_get_window(origin)) {
            int originX = 0, originY = 0;
            gdk_window_get_origin(native, &originX, &originY);
            x = Scaled(x) + originX;
            y = Scaled(y) + originY;
        }
    }
    GdkDisplay* display = gdk_display_get_default();
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    gdk_device_warp(pointer, gdk_display_get_default_screen(display), x, y);
}

void TGtkSystemDriver::SetMouseVisible(int visible) {
    GdkDisplay* display = gdk_display_get_default();
    GdkCursor* cursor = visible ? nullptr : gdk_cursor_new_for_display(display, GDK_BLANK_CURSOR);
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* entry = toplevels; entry != nullptr; entry = entry->next) {
        if (GdkWindow* native = gtk_widget_get_window(GTK_WIDGET(entry->data)))
            gdk_window_set_cursor(native, cursor);
    }
    g_list_free(toplevels);
    if (cursor != nullptr) g_object_unref(cursor);
}

namespace {

void DropReply(GObject* bus, GAsyncResult* result, gpointer) {
    GError* error = nullptr;
    if (GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error))
        g_variant_unref(reply);
    if (error != nullptr) g_error_free(error);
}

// The desktop's notification service, asked without waiting for its answer; with no
// service on the bus the call fails quietly, as a desktop without notifications shows none.
void SendNotification(GObject*, GAsyncResult* result, gpointer data) {
    GVariant* notification = static_cast<GVariant*>(data);
    GDBusConnection* bus = g_bus_get_finish(result, nullptr);
    if (bus != nullptr) {
        g_dbus_connection_call(bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                               "org.freedesktop.Notifications", "Notify", notification, nullptr,
                               G_DBUS_CALL_FLAGS_NONE, -1, nullptr, DropReply, nullptr);
        g_object_unref(bus);
    }
    g_variant_unref(notification);
}

}  // namespace

void TGtkSystemDriver::PostNotification(const std::string& title, const std::string& text) {
    const char* icon = gtk_window_get_default_icon_name();
    GVariantBuilder actions, hints;
    g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
    g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
    GVariant* notification = g_variant_ref_sink(g_variant_new(
        "(susssasa{sv}i)", g_get_prgname() != nullptr ? g_get_prgname() : "", 0u,
        icon != nullptr ? icon : "", DisplayText(title).c_str(), DisplayText(text).c_str(),
        &actions, &hints, -1));
    g_bus_get(G_BUS_TYPE_SESSION, nullptr, SendNotification, notification);
}

int TGtkSystemDriver::OpenURL(const std::string& url) {
    GError* error = nullptr;
    const gboolean opened = gtk_show_uri_on_window(ActiveToplevel(), url.c_str(), GDK_CURRENT_TIME, &error);
    if (error != nullptr) g_error_free(error);
    return opened ? 1 : 0;
}

}  // namespace gui::gtk
