// Logging runs of the real application on the real window: what the report area, the
// status label, the status bar and the progress bar show, and the datafile and log file
// a run leaves, with Windows paths.

#include <filesystem>

#include "app/application.h"
#include "app/logging.h"
#include "gui/gui.h"
#include "runtime/filesystem.h"
#include "runtime/native_path.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/win32_fixture.h"

namespace win32test {
namespace {

namespace probe = gui::win32::probe;

class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::BuildMainWindow(app.gadgets);
        ASSERT_TRUE(app.gadgets.window);
        ASSERT_TRUE(PumpUntil([&] { return probe::IsShown(app.gadgets.window); }));
        Settle();
    }
    void TearDown() override {
        if (app.gadgets.window) gui::DiscardGadget(app.gadgets.window);
        Settle();
    }
    // What Browse and both Save as... leave behind, then one logging run.
    void Log() {
        app.run.dir = dir / "My Files";
        gui::PutGadgetText(app.gadgets.dirField, app.run.dir);
        app.run.datafilepath = dir / "data.db";
        app.run.datafilechosen = true;
        app.run.logpath = dir / "changes.log";
        app.run.logchosen = true;
        gui::EnableGadgetInput(app.gadgets.startStopButton);
        app::RunLogging(app);
        Settle();
    }
    void Write(const std::string& name, const std::string& bytes) { dir.write("My Files/" + name, bytes); }

    testsupport::TempDir dir;
    app::Application app;
};

TEST_F(LoggingTest, ASecondRunReportsTheChangesInTheWindowAndTheLogFile) {
    Write("same.txt", "same");
    Write("grows.txt", "1");
    Write("sub/caf\xC3\xA9.txt", "x");
    Log();
    EXPECT_EQ(probe::NativeText(app.gadgets.statusLabel), "Dir log run complete");
    EXPECT_EQ(probe::ProgressPosition(app.gadgets.progressBar), 100);
    EXPECT_EQ(probe::NativeText(app.gadgets.reportArea), "");
    EXPECT_TRUE(rt::PathExists(dir / "data.db"));

    Write("grows.txt", "12");
    Write("sub/new \xE2\x82\xAC.txt", "n");
    std::filesystem::remove(rt::NativePath(dir / "My Files/sub/caf\xC3\xA9.txt"));
    Log();
    EXPECT_EQ(probe::NativeText(app.gadgets.statusLabel), "Dir log run complete");
    const std::string shown = probe::NativeText(app.gadgets.reportArea);
    const std::string root = dir / "My Files";
    // The control holds CR LF line ends; the toolkit reads them back as line feeds.
    for (const std::string& line : {" - File changed: " + root + "\\grows.txt\r\n",
                                   " - New file: " + root + "\\sub\\new \xE2\x82\xAC.txt\r\n",
                                   " - File removed: " + root + "\\sub\\caf\xC3\xA9.txt\r\n"})
        EXPECT_NE(shown.find(line), std::string::npos) << line;
    EXPECT_EQ(gui::FetchGadgetText(app.gadgets.reportArea).find('\r'), std::string::npos);
    // A character above U+00FF makes the log UTF-16 with its mark.
    EXPECT_EQ(dir.read("changes.log").substr(0, 2), "\xFF\xFE");
    EXPECT_TRUE(probe::ShowsLastLine(app.gadgets.reportArea));
}

}  // namespace
}  // namespace win32test
