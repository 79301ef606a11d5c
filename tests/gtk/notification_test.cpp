// News of changes while the user works in another window: a fake notification service on
// the test's private session bus counts the notifications, and the window's urgency hint
// shows the request for attention.

#include "tests/gtk/gtk_fixture.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "app/logging.h"
#include "gui/gui.h"
#include "tests/support/temp_dir.h"

namespace gtktest {
namespace {

namespace fs = std::filesystem;

const char kIntrospection[] = R"xml(
<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
      <arg type="u" direction="out"/>
    </method>
  </interface>
</node>)xml";

// Owns the service's name on the session bus and keeps the text of every Notify call.
class FakeNotificationService {
public:
    FakeNotificationService() {
        bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (bus_ == nullptr) return;
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        static const GDBusInterfaceVTable vtable{OnCall, nullptr, nullptr, {}};
        object_ = g_dbus_connection_register_object(bus_, "/org/freedesktop/Notifications",
                                                    node->interfaces[0], &vtable, this, nullptr, nullptr);
        g_dbus_node_info_unref(node);
        owner_ = g_bus_own_name_on_connection(bus_, "org.freedesktop.Notifications",
                                              G_BUS_NAME_OWNER_FLAGS_NONE, OnAcquired, nullptr, this, nullptr);
    }
    ~FakeNotificationService() {
        if (bus_ == nullptr) return;
        g_bus_unown_name(owner_);
        g_dbus_connection_unregister_object(bus_, object_);
        g_object_unref(bus_);
    }

    bool Ready() const { return acquired_; }
    std::vector<std::string> texts;  // "summary: body"

private:
    static void OnAcquired(GDBusConnection*, const gchar*, gpointer self) {
        static_cast<FakeNotificationService*>(self)->acquired_ = true;
    }
    static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
        const gchar *summary = nullptr, *body = nullptr;
        g_variant_get_child(parameters, 3, "&s", &summary);
        g_variant_get_child(parameters, 4, "&s", &body);
        static_cast<FakeNotificationService*>(self)->texts.push_back(std::string(summary) + ": " + body);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", 1u));
    }

    GDBusConnection* bus_ = nullptr;
    guint object_ = 0;
    guint owner_ = 0;
    bool acquired_ = false;
};

class NotificationTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(PumpUntil([&] { return service.Ready(); })) << "no session bus";
        fs::create_directory(tree);
        app.gadgets = g;
        app.run.dir = tree.string();
        app.run.datafilepath = (fs::path(temp.path()) / "datafile").string();
        app.run.datafilechosen = true;
        app::RunLogging(app);  // the first run only stores the list
        Settle();
    }

    // The X server's keyboard focus on the window or on nothing; no window manager
    // decides it here.
    void MakeActive(bool active) {
        Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
        GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(NativeWindow(g.window)));
        XSetInputFocus(display, active ? gdk_x11_window_get_xid(window) : None, RevertToNone,
                       CurrentTime);
        XFlush(display);
        ASSERT_TRUE(PumpUntil([&] { return gtk_window_is_active(NativeWindow(g.window)) == active; }));
    }

    void LogWithNewFiles(int count) {
        for (int i = 0; i < count; ++i) std::ofstream(tree / ("new" + std::to_string(made_++) + ".txt")) << i;
        app::RunLogging(app);
    }

    // Long enough for a call on the bus to have arrived.
    void WaitForCalls() {
        for (int i = 0; i < 25; ++i) {
            gui::PumpSystem();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    bool Urgent() { return gtk_window_get_urgency_hint(NativeWindow(g.window)); }

    FakeNotificationService service;
    testsupport::TempDir temp;
    fs::path tree = fs::path(temp.path()) / "tree";
    app::Application app;
    int made_ = 0;
};

TEST_F(NotificationTest, ARunWithChangesInTheBackgroundNotifiesOnceAndAsksForAttention) {
    MakeActive(false);
    LogWithNewFiles(3);
    ASSERT_TRUE(PumpUntil([&] { return !service.texts.empty(); }));
    WaitForCalls();
    EXPECT_EQ(service.texts,
              std::vector<std::string>{"Tervala_gui v1.4: 3 changes below " + tree.string()});
    EXPECT_TRUE(Urgent());
    MakeActive(true);
    EXPECT_TRUE(PumpUntil([&] { return !Urgent(); }));

    MakeActive(false);
    LogWithNewFiles(1);
    ASSERT_TRUE(PumpUntil([&] { return service.texts.size() == 2; }));
    EXPECT_EQ(service.texts[1], "Tervala_gui v1.4: 1 change below " + tree.string());
}

TEST_F(NotificationTest, NothingForARunWithoutChangesOrWhileTheWindowIsActive) {
    MakeActive(false);
    app::RunLogging(app);
    WaitForCalls();
    EXPECT_FALSE(Urgent());

    MakeActive(true);
    LogWithNewFiles(2);
    WaitForCalls();
    EXPECT_EQ(service.texts, std::vector<std::string>{});
    EXPECT_FALSE(Urgent());
}

}  // namespace
}  // namespace gtktest
