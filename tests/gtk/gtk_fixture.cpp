#include "tests/gtk/gtk_fixture.h"

#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

#include <chrono>
#include <cstdlib>
#include <ostream>
#include <thread>

#include "app/main_window.h"
#include "gui/gui.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "gui/platform/gtk/gtk_window.h"

namespace gtktest {

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

GtkWidget* Inner(const gui::TGadgetPtr& gadget) {
    return dynamic_cast<gui::gtk::TGtkGadget&>(*gadget).Inner();
}

}  // namespace

bool PumpUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        gui::PumpSystem();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Settle() {
    gdk_display_sync(gdk_display_get_default());
    for (int round = 0; round < 3; ++round) {
        while (gtk_events_pending()) gui::PumpSystem();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    TakeAllEvents();
}

std::vector<SeenEvent> TakeAllEvents() {
    std::vector<SeenEvent> events;
    while (gui::QueuedEventCount() > 0 && gui::TakeEvent() != 0) {
        events.push_back({gui::CurrentEventId(), gui::CurrentEventSource(), gui::CurrentEventData(),
                          gui::CurrentEventX(), gui::CurrentEventY()});
    }
    return events;
}

std::vector<SeenEvent> EventsOf(const std::vector<SeenEvent>& events, int id,
                                const gui::TGadgetPtr& source) {
    std::vector<SeenEvent> result;
    for (const SeenEvent& e : events) {
        if (e.id == id && e.source == source) result.push_back(e);
    }
    return result;
}

GdkRectangle NativeRect(const gui::TGadgetPtr& gadget) {
    GtkAllocation allocation;
    gtk_widget_get_allocation(gui::gtk::WidgetOf(gadget), &allocation);
    return allocation;
}

GdkRectangle Rect(int x, int y, int w, int h) { return GdkRectangle{x, y, w, h}; }

GtkWidget* FindWidget(GtkWidget* root, GType type) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(root, type)) return root;
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* c = children; c != nullptr && found == nullptr; c = c->next)
        found = FindWidget(GTK_WIDGET(c->data), type);
    g_list_free(children);
    return found;
}

GtkWindow* NativeWindow(const gui::TGadgetPtr& window) {
    return dynamic_cast<gui::gtk::TGtkWindow&>(*window).Native();
}

std::string StatusBarText(const gui::TGadgetPtr& window) {
    GtkWidget* bar = FindWidget(GTK_WIDGET(NativeWindow(window)), GTK_TYPE_STATUSBAR);
    GtkWidget* label = FindWidget(gtk_statusbar_get_message_area(GTK_STATUSBAR(bar)), GTK_TYPE_LABEL);
    return gtk_label_get_text(GTK_LABEL(label));
}

void ResizeClient(const gui::TGadgetPtr& window, int w, int h) {
    GtkWindow* native = NativeWindow(window);
    int outerWidth = 0, outerHeight = 0;
    gtk_window_get_size(native, &outerWidth, &outerHeight);
    const int chrome = outerHeight - gui::ClientHeightOf(window);
    gtk_window_resize(native, w, h + chrome);
    const bool resized = PumpUntil([&] {
        return gui::ClientWidthOf(window) == w && gui::ClientHeightOf(window) == h;
    });
    ASSERT_TRUE(resized) << "client area stayed " << gui::ClientWidthOf(window) << "x"
                         << gui::ClientHeightOf(window);
}

namespace {

Display* XDisplay() { return gdk_x11_display_get_xdisplay(gdk_display_get_default()); }

// The pointer to the middle of the gadget; without a window manager the X server gives
// the keyboard to the window under the pointer.
void PointAt(const gui::TGadgetPtr& gadget) {
    GtkWidget* widget = gui::gtk::WidgetOf(gadget);
    GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
    int x = 0, y = 0, originX = 0, originY = 0;
    gtk_widget_translate_coordinates(widget, toplevel, gtk_widget_get_allocated_width(widget) / 2,
                                     gtk_widget_get_allocated_height(widget) / 2, &x, &y);
    gdk_window_get_origin(gtk_widget_get_window(toplevel), &originX, &originY);
    XTestFakeMotionEvent(XDisplay(), -1, originX + x, originY + y, CurrentTime);
}

}  // namespace

void Click(const gui::TGadgetPtr& gadget) {
    PointAt(gadget);
    XTestFakeButtonEvent(XDisplay(), 1, True, CurrentTime);
    XTestFakeButtonEvent(XDisplay(), 1, False, CurrentTime);
    XFlush(XDisplay());
}

void TypeKey(const gui::TGadgetPtr& gadget, guint keyval) {
    gtk_widget_grab_focus(Inner(gadget));
    PointAt(gadget);
    const KeyCode code = XKeysymToKeycode(XDisplay(), keyval);
    XTestFakeKeyEvent(XDisplay(), code, True, CurrentTime);
    XTestFakeKeyEvent(XDisplay(), code, False, CurrentTime);
    XFlush(XDisplay());
}

namespace {

// Every GLib, GDK and GTK warning or critical of the process, recorded while a test runs and
// still printed as usual. GTK logs through the structured writer, which can be set only once.
std::vector<std::string>* recordedWarnings = nullptr;

GLogWriterOutput RecordingWriter(GLogLevelFlags level, const GLogField* fields, gsize count,
                                 gpointer data) {
    const bool serious =
        (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) != 0;
    if (serious && recordedWarnings != nullptr) {
        std::string domain, message;
        for (gsize i = 0; i < count; ++i) {
            const auto* value = static_cast<const char*>(fields[i].value);
            if (g_strcmp0(fields[i].key, "GLIB_DOMAIN") == 0) domain = value;
            if (g_strcmp0(fields[i].key, "MESSAGE") == 0) message = value;
        }
        recordedWarnings->push_back(domain + ": " + message);
    }
    return g_log_writer_default(level, fields, count, data);
}

}  // namespace

void RecordGtkWarnings(std::vector<std::string>* warnings) {
    static const bool installed = [] {
        g_log_set_writer_func(RecordingWriter, nullptr, nullptr);
        return true;
    }();
    (void)installed;
    recordedWarnings = warnings;
}

void MainWindowTest::SetUp() {
    RecordGtkWarnings(&warnings);
    // The file requesters keep their settings, and GTK looks for the accessibility bus;
    // under a bare X server neither is there, and neither needs to be.
    setenv("GSETTINGS_BACKEND", "memory", 0);
    setenv("NO_AT_BRIDGE", "1", 0);
    app::BuildMainWindow(g);
    ASSERT_TRUE(g.window);
    ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(gui::gtk::WidgetOf(g.window)); }));
    Settle();
}

void MainWindowTest::TearDown() {
    if (g.window) gui::DiscardGadget(g.window);
    Settle();
    RecordGtkWarnings(nullptr);
    EXPECT_EQ(warnings, std::vector<std::string>{}) << "GTK printed warnings";
}

}  // namespace gtktest

bool operator==(const GdkRectangle& a, const GdkRectangle& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

void PrintTo(const GdkRectangle& r, std::ostream* os) {
    *os << "{" << r.x << ", " << r.y << ", " << r.width << "x" << r.height << "}";
}
