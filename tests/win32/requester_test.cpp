// The modal services on the real system dialogs: message boxes captioned with the
// application title, the file requester with its filter groups and the extension it adds
// in save mode, the folder browser that starts at the initial directory, and OpenURL.

#include <algorithm>
#include <filesystem>

#include "gui/gui.h"
#include "runtime/native_path.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/win32_fixture.h"

namespace win32test {
namespace {

namespace probe = gui::win32::probe;
using RequesterTest = MainWindowTest;

TEST_F(RequesterTest, MessageBoxesAreCaptionedWithTheTitleAndAnswerAsTheyShould) {
    {
        probe::TDialogAnswer answer(probe::DIALOG_OK);
        EXPECT_EQ(gui::Confirm("Replace the datafile?", 1), 1);
        const probe::TDialogSeen& seen = answer.Seen();
        ASSERT_TRUE(seen.came);
        EXPECT_EQ(seen.caption, "Tervala_gui v1.4");
        EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "Replace the datafile?"), seen.texts.end());
    }
    {
        probe::TDialogAnswer answer(probe::DIALOG_CANCEL);
        EXPECT_EQ(gui::Confirm("Replace the datafile?", 0), 0);
    }
    {
        probe::TDialogAnswer answer(probe::DIALOG_CLOSE);
        EXPECT_EQ(gui::Proceed("Save first?", 0), -1);  // the close box is Cancel
        EXPECT_TRUE(answer.Seen().came);
    }
}

TEST_F(RequesterTest, TheFocusComesBackAfterAMessageBox) {
    g.intervalField->Activate(gui::ACTIVATE_FOCUS);
    ASSERT_TRUE(PumpUntil([&] { return probe::HasFocus(g.intervalField); }));
    probe::TDialogAnswer answer(probe::DIALOG_OK);
    gui::Notify("Logging stopped", 0);
    EXPECT_TRUE(answer.Seen().came);
    EXPECT_TRUE(PumpUntil([&] { return probe::HasFocus(g.intervalField); }));
}

TEST_F(RequesterTest, SaveRequesterAddsTheExtensionOfTheChosenGroupAndStartsInTheInitialDirectory) {
    testsupport::TempDir dir;
    probe::TDialogAnswer answer(probe::DIALOG_OK, "report");
    const std::string chosen =
        gui::RequestFile("Save logfile as", "Text:txt;Logs:log;Any:*", 1, dir / "old.log");
    ASSERT_TRUE(answer.Seen().came);
    EXPECT_EQ(answer.Seen().caption, "Save logfile as");
    // The initial name preselected the group of logs, whose extension the typed name gets.
    EXPECT_EQ(chosen, dir / "report.log");
    // A match in the last group preselects none: the first group's extension.
    probe::TDialogAnswer second(probe::DIALOG_OK, "report");
    EXPECT_EQ(gui::RequestFile("Save logfile as", "Text:txt;Logs:log", 1, dir / "old.log"), dir / "report.txt");
}

TEST_F(RequesterTest, CancelledRequestersGiveTheEmptyText) {
    {
        probe::TDialogAnswer answer(probe::DIALOG_CANCEL);
        EXPECT_EQ(gui::RequestFile("Save datafile as", "", 1, ""), "");
        EXPECT_TRUE(answer.Seen().came);
    }
    {
        probe::TDialogAnswer answer(probe::DIALOG_CANCEL);
        EXPECT_EQ(gui::RequestDir("Select dir to monitor", ""), "");
        EXPECT_TRUE(answer.Seen().came);
    }
}

TEST_F(RequesterTest, FolderBrowserStartsAtTheInitialDirectoryAndShowsItsPath) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(rt::NativePath(dir / "My Files"));
    // Answered once the status text shows the selected path.
    probe::TDialogAnswer answer(probe::DIALOG_OK, {}, dir / "My Files");
    const std::string chosen = gui::RequestDir("Select dir to monitor", dir / "My Files");
    const probe::TDialogSeen& seen = answer.Seen();
    ASSERT_TRUE(seen.came);
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "Select dir to monitor"), seen.texts.end());
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), dir / "My Files"), seen.texts.end());
    EXPECT_EQ(chosen, dir / "My Files");
}

TEST_F(RequesterTest, OpenUrlOfAFileThatIsNotThereFails) {
    testsupport::TempDir dir;
    EXPECT_EQ(gui::OpenURL("file:" + (dir / "missing.html")), 0);
}

}  // namespace
}  // namespace win32test
