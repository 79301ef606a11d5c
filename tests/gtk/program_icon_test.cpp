// The windows' icon: found by the program's name in the icon theme, also when the program's
// prefix (…/bin beside …/share/icons) is not among the desktop's data directories.

#include "gui/platform/gtk/program_icon.h"

#include <filesystem>
#include <string>

#include "gui/gui.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "tests/gtk/gtk_fixture.h"
#include "tests/support/temp_dir.h"

namespace gtktest {
namespace {

using ProgramIconTest = MainWindowTest;

// A staged installation: bin/ for the program and a 48-px theme icon under share/icons.
std::string StagedPrefix(const testsupport::TempDir& temp, const std::string& name) {
    const std::string prefix = temp / "usr";
    const std::string apps = prefix + "/share/icons/hicolor/48x48/apps";
    std::filesystem::create_directories(prefix + "/bin");
    std::filesystem::create_directories(apps);
    GdkPixbuf* pixels = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 48, 48);
    gdk_pixbuf_fill(pixels, 0x2f6fb3ff);
    EXPECT_TRUE(
        gdk_pixbuf_save(pixels, (apps + "/" + name + ".png").c_str(), "png", nullptr, nullptr));
    g_object_unref(pixels);
    return prefix;
}

bool HasNetWmIcon(GtkWindow* window) {
    GdkAtom type;
    gint format = 0, length = 0;
    guchar* data = nullptr;
    const gboolean found = gdk_property_get(gtk_widget_get_window(GTK_WIDGET(window)),
                                            gdk_atom_intern_static_string("_NET_WM_ICON"), GDK_NONE,
                                            0, 1 << 20, FALSE, &type, &format, &length, &data);
    g_free(data);
    return found && length > 0;
}

TEST_F(ProgramIconTest, AStagedPrefixGivesNewWindowsTheIconOfTheProgramsName) {
    testsupport::TempDir temp;
    const std::string name = "tervala-icon-test";
    const std::string prefix = StagedPrefix(temp, name);
    ASSERT_TRUE(gui::gtk::UseProgramIcon(prefix + "/bin", name));
    EXPECT_STREQ(gtk_window_get_default_icon_name(), name.c_str());

    gui::TGadgetPtr window = gui::MakeWindow("Icon", 10, 10, 200, 100, nullptr,
                                             gui::WINDOW_TITLEBAR | gui::WINDOW_CLIENTCOORDS);
    GtkWindow* native = NativeWindow(window);
    ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(native)); }));
    EXPECT_TRUE(PumpUntil([&] { return HasNetWmIcon(native); }));
    gui::DiscardGadget(window);
    gtk_window_set_default_icon_name(nullptr);  // later windows of this program have none
    Settle();
}

TEST_F(ProgramIconTest, AProgramWithoutAnIconSetsNone) {
    testsupport::TempDir temp;
    const std::string prefix = StagedPrefix(temp, "tervala-icon-test");
    EXPECT_FALSE(gui::gtk::UseProgramIcon(prefix + "/bin", "tervala-no-such-icon"));
    EXPECT_FALSE(gui::gtk::UseProgramIcon("", "tervala-no-such-icon"));
    EXPECT_EQ(gtk_window_get_default_icon_name(), nullptr);
}

}  // namespace
}  // namespace gtktest
