// The application's window as the Win32 driver shows it: the native controls of each
// gadget kind, every gadget at its rectangle scaled by the window's DPI, the system's UI
// font, the layout rule when the user resizes the window, and a screenshot of it.

#include <cstdlib>
#include <string>

#include "app/main_window.h"
#include "gui/gui.h"
#include "tests/win32/win32_fixture.h"

namespace win32test {
namespace {

namespace probe = gui::win32::probe;
using WindowTest = MainWindowTest;

TEST_F(WindowTest, WindowShowsTitleMenuStatusBarAndClientAreaOfItsShape) {
    EXPECT_EQ(gui::FetchGadgetText(g.window), "Tervala_gui v1.4");
    EXPECT_EQ(gui::ClientWidthOf(g.window), 480);
    EXPECT_EQ(gui::ClientHeightOf(g.window), 400);
    EXPECT_EQ(probe::GadgetArea(g.window), Rect(0, 0, 480, 400));
    EXPECT_EQ(probe::MenuTitles(g.window), (std::vector<std::string>{"&File", "&Help"}));
    EXPECT_EQ(probe::SubmenuTitles(g.window, 0), std::vector<std::string>{"E&xit"});
    EXPECT_EQ(probe::SubmenuTitles(g.window, 1), std::vector<std::string>{"&About"});
}

TEST_F(WindowTest, EachGadgetKindIsItsNativeControlInTheUiFont) {
    EXPECT_EQ(probe::NativeClass(g.browseButton), "button");
    EXPECT_EQ(probe::NativeClass(g.dirField), "edit");
    EXPECT_EQ(probe::NativeClass(g.reportArea), "edit");
    EXPECT_EQ(probe::NativeClass(g.statusLabel), "static");
    EXPECT_EQ(probe::NativeClass(g.progressBar), "msctls_progress32");
    EXPECT_TRUE(probe::IsThreeState(g.md5Box));
    EXPECT_FALSE(probe::IsThreeState(g.browseButton));
    EXPECT_TRUE(probe::IsReadOnly(g.reportArea));
    EXPECT_FALSE(probe::WrapsWords(g.reportArea));
    EXPECT_FALSE(probe::IsReadOnly(g.intervalField));
    EXPECT_EQ(probe::NativeText(g.browseButton), "Browse...");
    EXPECT_EQ(probe::NativeText(g.intervalField), "1");
    for (const auto& gadget : {g.browseButton, g.dirField, g.reportArea, g.statusLabel, g.md5Box})
        EXPECT_TRUE(probe::UsesUiFont(gadget));
}

TEST_F(WindowTest, GadgetsSitAtTheirRectanglesScaledByTheWindowsDpi) {
    EXPECT_EQ(probe::NativeRect(g.dirField), Rect(4, 24, 200, 24));
    EXPECT_EQ(probe::NativeRect(g.browseButton), Rect(204, 24, 75, 24));
    EXPECT_EQ(probe::NativeRect(g.logSaveButton), Rect(204, 112, 75, 24));
    EXPECT_EQ(probe::NativeRect(g.md5Box), Rect(4, 140, 200, 24));
    EXPECT_EQ(probe::NativeRect(g.intervalField), Rect(206, 168, 20, 24));
    EXPECT_EQ(probe::NativeRect(g.startStopButton), Rect(4, 194, 125, 24));
    EXPECT_EQ(probe::NativeRect(g.reportArea), Rect(4, 218, 472, 124));
    EXPECT_EQ(probe::NativeRect(g.statusLabel), Rect(58, 348, 414, 20));
    EXPECT_EQ(probe::NativeRect(g.progressBar), Rect(4, 372, 472, 20));
}

TEST_F(WindowTest, ResizingFollowsTheLayoutRuleAndShrinksBelowTheFirstSize) {
    ResizeClient(640, 500);
    EXPECT_EQ(probe::NativeRect(g.dirField), Rect(4, 24, 360, 24));       // stretches
    EXPECT_EQ(probe::NativeRect(g.browseButton), Rect(364, 24, 75, 24));  // keeps right margin
    EXPECT_EQ(probe::NativeRect(g.md5Box), Rect(4, 140, 200, 24));        // stays
    EXPECT_EQ(probe::NativeRect(g.reportArea), Rect(4, 218, 632, 224));   // grows both ways
    EXPECT_EQ(probe::NativeRect(g.statusLabel), Rect(77, 448, 552, 20));  // scales, keeps bottom
    EXPECT_EQ(probe::NativeRect(g.progressBar), Rect(4, 472, 632, 20));   // widens, keeps bottom

    ResizeClient(300, 300);
    EXPECT_EQ(probe::NativeRect(g.dirField), Rect(4, 24, 20, 24));
    EXPECT_EQ(probe::NativeRect(g.browseButton), Rect(24, 24, 75, 24));
    EXPECT_EQ(probe::NativeRect(g.reportArea), Rect(4, 218, 292, 24));
    EXPECT_EQ(probe::NativeRect(g.progressBar), Rect(4, 272, 292, 20));

    ResizeClient(480, 400);
    EXPECT_EQ(probe::NativeRect(g.dirField), Rect(4, 24, 200, 24));
    EXPECT_EQ(probe::NativeRect(g.reportArea), Rect(4, 218, 472, 124));
    EXPECT_EQ(probe::NativeRect(g.statusLabel), Rect(58, 348, 414, 20));
}

TEST_F(WindowTest, ResizeIsReportedOnceWithTheNewClientSize) {
    ResizeClient(520, 420);
    const std::vector<SeenEvent> sizes = EventsOf(TakeAllEvents(), gui::WindowSize, g.window);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].x, 520);
    EXPECT_EQ(sizes[0].y, 420);
}

TEST_F(WindowTest, ReplacedStartButtonTakesTheOldPlace) {
    app::ReplaceStartStopButton(g, "Stop logging");
    EXPECT_EQ(probe::NativeRect(g.startStopButton), Rect(4, 194, 125, 24));
    EXPECT_EQ(probe::NativeText(g.startStopButton), "Stop logging");
    EXPECT_TRUE(probe::IsShown(g.startStopButton));
}

// The window with a few report lines, saved where the test runs; the test run's log
// names the file.
TEST_F(WindowTest, Screenshot) {
    gui::PutGadgetText(g.dirField, "C:\\My Files");
    gui::PutGadgetText(g.datafileField, "C__My_Files");
    gui::AppendAreaText(g.reportArea, "07 Dec 2026 09:05:03 - New file: C:\\My Files\\new.txt\n");
    gui::AppendAreaText(g.reportArea, "07 Dec 2026 09:05:03 - File changed: C:\\My Files\\grows.txt\n");
    gui::AppendAreaText(g.reportArea, "07 Dec 2026 09:05:03 - Dir removed: C:\\My Files\\old\n");
    gui::PutGadgetText(g.statusLabel, "Dir log run complete");
    gui::PutStatusBarText(g.window, "C:\\My Files\\grows.txt");
    gui::PutProgressValue(g.progressBar, 0.6f);
    Settle();
    const char* shot = std::getenv("TERVALA_SCREENSHOT");
    const std::string path = shot != nullptr ? shot : "win32-window.png";
    ASSERT_TRUE(probe::SaveScreenshot(g.window, path));
    std::printf("screenshot: %s\n", path.c_str());
}

}  // namespace
}  // namespace win32test
