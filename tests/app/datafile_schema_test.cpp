// What a saved datafile holds after every kind of logging run: the two lists and SQLite's
// sequence table, nothing a run built for its own use.

#include <algorithm>

#include "gui/platform/headless/headless.h"
#include "tests/app/app_fixture.h"

namespace apptest {
namespace {

class SavedDatafile : public AppTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Browse(tree);
        ChooseDatafile(datafile);
        WriteFile(tree / "sub" / "inner" / "x.txt", "x");
        WriteFile(tree / "a.txt", "a");
        Log();
    }

    // Plays the kind of run after the first one; the status text it ends with.
    std::string Play(const std::string& kind) {
        if (kind == "First") return "Dir log run complete";
        if (kind == "Unchanged") {
            Log();
        } else if (kind == "Changed") {
            WriteFile(tree / "a.txt", "changed");
            WriteFile(tree / "new" / "b.txt", "b");
            Log();
        } else if (kind == "UnreadableSubdirectory") {
            // The subdirectory goes once the scan has found it and before it opens it: a
            // directory that cannot be read, also for root. Gone before it is found, it
            // would only be removed, and where it comes in the listing differs by system.
            gui::headless::SetPollHandler([this] {
                const auto& dirs = app.run.dirs;
                const bool found = std::find(dirs.begin(), dirs.end(), Path("sub")) != dirs.end();
                if (found && app.run.dirindex == 0) {
                    fs::remove_all(tree / "sub");
                }
            });
            Log();
            return "Failed To read directory " + Path("sub") + ", skipping";
        } else if (kind == "StoppedInTheComparison") {
            for (int i = 0; i < 5; ++i) WriteFile(tree / ("f" + std::to_string(i)), "x");
            StopWhen([this] { return !Report().empty(); });
            Log();
            return "Dir log run aborted";
        } else if (kind == "WithOwedLines") {
            // A log that cannot be written owes its lines to the next Start, which owes
            // them on with its own.
            const fs::path log = scratch / "logdir";
            fs::create_directories(log);
            ChooseLog(log);
            WriteFile(tree / "b.txt", "b");
            Log();
            WriteFile(tree / "c.txt", "c");
            Log();
            return "Failed to write log file " + log.string();
        }
        return "Dir log run complete";
    }
};

TEST_P(SavedDatafile, HoldsTheTwoListsAndTheirSequenceAlone) {
    const std::string status = Play(GetParam());
    EXPECT_EQ(Status(), status);
    EXPECT_EQ(SchemaOf(datafile),
              (std::vector<std::string>{"table allist", "table lastallist", "table sqlite_sequence"}));
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfRun, SavedDatafile,
                         ::testing::Values("First", "Unchanged", "Changed", "UnreadableSubdirectory",
                                           "StoppedInTheComparison", "WithOwedLines"),
                         [](const auto& kind) { return kind.param; });

}  // namespace
}  // namespace apptest
