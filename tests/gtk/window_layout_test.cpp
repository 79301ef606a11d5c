// The application's window as GTK shows it: the client area, every gadget at its exact
// rectangle, and the layout rule when the user resizes the window.

#include "app/main_window.h"
#include "gui/gui.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "tests/gtk/gtk_fixture.h"

namespace gtktest {
namespace {

using LayoutTest = MainWindowTest;

TEST_F(LayoutTest, WindowShowsTitleMenuAndClientAreaOfItsShape) {
    EXPECT_STREQ(gtk_window_get_title(NativeWindow(g.window)), "Tervala_gui v1.4");
    EXPECT_EQ(gui::ClientWidthOf(g.window), 480);
    EXPECT_EQ(gui::ClientHeightOf(g.window), 400);
    GtkWidget* area = gtk_widget_get_parent(gui::gtk::WidgetOf(g.dirField));
    EXPECT_EQ(gtk_widget_get_allocated_width(area), 480);
    EXPECT_EQ(gtk_widget_get_allocated_height(area), 400);

    GtkWidget* menuBar = FindWidget(GTK_WIDGET(NativeWindow(g.window)), GTK_TYPE_MENU_BAR);
    ASSERT_NE(menuBar, nullptr);
    EXPECT_TRUE(gtk_widget_get_visible(menuBar));
    std::vector<std::string> titles;
    GList* entries = gtk_container_get_children(GTK_CONTAINER(menuBar));
    for (GList* e = entries; e != nullptr; e = e->next)
        titles.emplace_back(gtk_menu_item_get_label(GTK_MENU_ITEM(e->data)));
    g_list_free(entries);
    EXPECT_EQ(titles, (std::vector<std::string>{"_File", "_Help"}));
}

TEST_F(LayoutTest, GadgetsSitAtTheirRectanglesWhateverTheThemeMinimum) {
    EXPECT_EQ(NativeRect(g.dirField), Rect(4, 24, 200, 24));
    EXPECT_EQ(NativeRect(g.browseButton), Rect(204, 24, 75, 24));
    EXPECT_EQ(NativeRect(g.logSaveButton), Rect(204, 112, 75, 24));
    EXPECT_EQ(NativeRect(g.md5Box), Rect(4, 140, 200, 24));
    EXPECT_EQ(NativeRect(g.intervalField), Rect(206, 168, 20, 24));
    EXPECT_EQ(NativeRect(g.startStopButton), Rect(4, 194, 125, 24));
    EXPECT_EQ(NativeRect(g.reportArea), Rect(4, 218, 472, 124));
    EXPECT_EQ(NativeRect(g.statusLabel), Rect(58, 348, 414, 20));
    EXPECT_EQ(NativeRect(g.progressBar), Rect(4, 372, 472, 20));
}

TEST_F(LayoutTest, ResizingFollowsTheLayoutRuleAndShrinksBelowTheFirstSize) {
    ResizeClient(g.window, 640, 500);
    EXPECT_EQ(NativeRect(g.dirField), Rect(4, 24, 360, 24));          // stretches
    EXPECT_EQ(NativeRect(g.browseButton), Rect(364, 24, 75, 24));     // keeps right margin
    EXPECT_EQ(NativeRect(g.md5Box), Rect(4, 140, 200, 24));           // stays
    EXPECT_EQ(NativeRect(g.reportArea), Rect(4, 218, 632, 224));      // grows both ways
    EXPECT_EQ(NativeRect(g.statusLabel), Rect(77, 448, 552, 20));     // scales, keeps bottom
    EXPECT_EQ(NativeRect(g.progressBar), Rect(4, 472, 632, 20));      // widens, keeps bottom

    ResizeClient(g.window, 300, 300);
    EXPECT_EQ(NativeRect(g.dirField), Rect(4, 24, 20, 24));
    EXPECT_EQ(NativeRect(g.browseButton), Rect(24, 24, 75, 24));
    EXPECT_EQ(NativeRect(g.reportArea), Rect(4, 218, 292, 24));
    EXPECT_EQ(NativeRect(g.progressBar), Rect(4, 272, 292, 20));

    ResizeClient(g.window, 480, 400);
    EXPECT_EQ(NativeRect(g.dirField), Rect(4, 24, 200, 24));
    EXPECT_EQ(NativeRect(g.reportArea), Rect(4, 218, 472, 124));
    EXPECT_EQ(NativeRect(g.statusLabel), Rect(58, 348, 414, 20));
}

TEST_F(LayoutTest, ResizeIsReportedOnceWithTheNewClientSize) {
    ResizeClient(g.window, 520, 420);
    const std::vector<SeenEvent> sizes = EventsOf(TakeAllEvents(), gui::WindowSize, g.window);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].x, 520);
    EXPECT_EQ(sizes[0].y, 420);
}

TEST_F(LayoutTest, ShapingAGadgetMovesItsWidget) {
    gui::ShapeGadget(g.progressBar, 10, 300, 100, 10);
    ASSERT_TRUE(PumpUntil([&] { return NativeRect(g.progressBar) == Rect(10, 300, 100, 10); }));
}

TEST_F(LayoutTest, ReplacedStartButtonTakesTheOldPlace) {
    app::ReplaceStartStopButton(g, "Stop logging");
    EXPECT_TRUE(PumpUntil([&] { return NativeRect(g.startStopButton) == Rect(4, 194, 125, 24); }));
    EXPECT_EQ(gui::FetchGadgetText(g.startStopButton), "Stop logging");
    EXPECT_TRUE(gtk_widget_get_sensitive(gui::gtk::WidgetOf(g.startStopButton)));
}

// A window the program lets go of without discarding it stays on screen; GTK must not
// call back into the gadgets that are gone when the user then resizes or focuses it.
TEST_F(LayoutTest, WindowDroppedWithoutDiscardingIsNeverCalledBack) {
    gui::TGadgetPtr window =
        gui::MakeWindow("Dropped", 10, 10, 200, 100, nullptr,
                        gui::WINDOW_TITLEBAR | gui::WINDOW_RESIZABLE | gui::WINDOW_CLIENTCOORDS);
    gui::MakeLabel("label", 4, 4, 100, 20, window);
    GtkWindow* native = NativeWindow(window);
    g_object_ref(native);
    ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(native)); }));
    window.reset();

    gtk_window_resize(native, 300, 200);
    gtk_window_present(native);
    Settle();
    EXPECT_EQ(gui::gtk::TGtkGadget::OfWidget(GTK_WIDGET(native)), nullptr);
    gtk_widget_destroy(GTK_WIDGET(native));
    g_object_unref(native);
}

}  // namespace
}  // namespace gtktest
