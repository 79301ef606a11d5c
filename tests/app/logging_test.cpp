// Logging runs on the headless driver: the scan's rows, the saved datafile, the change
// report and log file, stop requests and the decided failure behaviour.

#include <algorithm>
#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "gui/platform/headless/headless.h"
#include "runtime/filesystem.h"
#include "tests/app/app_fixture.h"
#ifndef _WIN32
#include "tests/support/deep_tree.h"
#include "tests/support/file_size_limit.h"
#endif

namespace apptest {
namespace {

using gui::headless::Inspect;
using Lines = std::vector<std::string>;

// A connection of another program that holds the file's exclusive lock; null when it could
// not take it.
std::shared_ptr<db::TDBSQLite> LockedByAnotherProgram(const fs::path& file) {
    auto other = db::TDBSQLite::Create(file.string());
    other->executeQuery("BEGIN EXCLUSIVE");
    return other->hasError() ? nullptr : other;
}

class LoggingTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Browse(tree);
        ChooseDatafile(datafile);
    }
};

TEST_F(LoggingTest, FirstRunStoresTheTreeBreadthFirstAndReportsNothing) {
    WriteFile(tree / "a" / "deep" / "x.txt", "12345");
    WriteFile(tree / "a" / "c.txt", "abc");
    WriteFile(tree / "it's.txt", "");
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    EXPECT_EQ(gui::headless::ProgressOf(g.progressBar), 100);
    EXPECT_EQ(StatusBar(), "");
    EXPECT_TRUE(Report().empty());
    const Lines rows = TableRows(datafile, "allist");
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], tree.string() + "|<NULL>");
    // Every entry of a directory comes before anything below its subdirectories.
    const Lines top(rows.begin() + 1, rows.begin() + 3);
    EXPECT_TRUE((top == Lines{Path("a") + "|<NULL>", Path("it's.txt") + "|0"}) ||
                (top == Lines{Path("it's.txt") + "|0", Path("a") + "|<NULL>"}));
    const Lines below(rows.begin() + 3, rows.begin() + 5);
    EXPECT_TRUE((below == Lines{Path("a/deep") + "|<NULL>", Path("a/c.txt") + "|3"}) ||
                (below == Lines{Path("a/c.txt") + "|3", Path("a/deep") + "|<NULL>"}));
    EXPECT_EQ(rows[5], Path("a/deep/x.txt") + "|5");
    EXPECT_TRUE(TableRows(datafile, "lastallist").empty());
    for (const auto& gadget : {g.browseButton, g.md5Box, g.dirField, g.startStopButton}) {
        EXPECT_TRUE(Inspect(gadget).enabled);
    }
    EXPECT_EQ(Inspect(g.startStopButton).text, "Start logging");
}

TEST_F(LoggingTest, SecondRunReportsAdditionsThenRemovals) {
    WriteFile(tree / "same.txt", "same");
    WriteFile(tree / "grows.txt", "1");
    WriteFile(tree / "old name.txt", "x");
    WriteFile(tree / "gone" / "f.txt", "f");
    WriteFile(tree / "Case.txt", "c");
    WriteFile(tree / "becomes dir", "file");
    Log();
    fs::remove_all(tree / "gone");
    WriteFile(tree / "grows.txt", "12");
    fs::rename(tree / "old name.txt", tree / "new name.txt");
#ifdef _WIN32
    // Wine keeps the old case when only the case changes; a detour renames it everywhere.
    fs::rename(tree / "Case.txt", tree / "case.tmp");
    fs::rename(tree / "case.tmp", tree / "case.txt");
#else
    fs::rename(tree / "Case.txt", tree / "case.txt");
#endif
    fs::remove(tree / "becomes dir");
    WriteFile(tree / "becomes dir" / "inner.txt", "i");
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    const Lines report = Report();
    ASSERT_EQ(report.size(), 9u);
    const std::set<std::string> additions(report.begin(), report.begin() + 5);
    const std::set<std::string> removals(report.begin() + 5, report.end());
    EXPECT_EQ(additions, (std::set<std::string>{
                             "<T> - File changed: " + Path("grows.txt"),
                             "<T> - New file: " + Path("new name.txt"),
                             "<T> - New file: " + Path("case.txt"),
                             "<T> - File changed: " + Path("becomes dir"),
                             "<T> - New file: " + Path("becomes dir/inner.txt")}));
    EXPECT_EQ(removals, (std::set<std::string>{"<T> - File removed: " + Path("old name.txt"),
                                               "<T> - File removed: " + Path("Case.txt"),
                                               "<T> - Dir removed: " + Path("gone"),
                                               "<T> - File removed: " + Path("gone/f.txt")}));
    // Removals follow the previous scan: the directory before what was inside it.
    EXPECT_LT(std::find(report.begin(), report.end(), "<T> - Dir removed: " + Path("gone")),
              std::find(report.begin(), report.end(), "<T> - File removed: " + Path("gone/f.txt")));
    // The saved datafile holds this scan and the one it was compared with.
    EXPECT_EQ(TableRows(datafile, "lastallist").size(), 8u);  // each old row once
    EXPECT_EQ(TableRows(datafile, "allist").size(), 7u);
}

// From the second unchanged run on, both stored lists already hold what a run would write.
TEST_F(LoggingTest, UnchangedRunsInARowLeaveTheDatafileUntouchedFromTheSecondOn) {
    WriteFile(tree / "a.txt", "a");
    WriteFile(tree / "d" / "it's.txt", "bb");
#ifndef _WIN32
    // Names stored in escaped form are found as they are stored, in any directory.
    WriteFile(tree / "d\xC3" / "caf\xC3\xA9 \xEF\xBF\xBE\xFF.txt", "c");
#endif
    for (const bool md5 : {false, true}) {
        if (md5) Click(g.md5Box);
        Log();
        Log();
        const std::string bytes = ReadFile(datafile);
        const auto modified = fs::last_write_time(datafile);
        const std::size_t reported = Report().size();
        Log();
        EXPECT_EQ(Status(), "Dir log run complete") << md5;
        EXPECT_EQ(Report().size(), reported) << md5;
        EXPECT_EQ(ReadFile(datafile), bytes) << md5;
        EXPECT_EQ(fs::last_write_time(datafile), modified) << md5;
        EXPECT_FALSE(fs::exists(datafile.string() + "-journal")) << md5;
    }
}

#ifndef _WIN32
// A changed run writes a new datafile in the old one's place: the file keeps the old one's
// mode, and its lists number their rows on after every row the old ones held.
TEST_F(LoggingTest, AChangedRunsDatafileKeepsItsModeAndNumbersItsRowsOn) {
    const auto lastId = [&](const std::string& table, const char* which) {
        auto other = db::TDBSQLite::Create(datafile.string());
        auto query = other->executeQuery(std::string("select ") + which + "(id) from " + table);
        return query->nextRow() ? query->rowRecord()->getLong(0) : -1;
    };
    WriteFile(tree / "a.txt", "a");
    Log();
    WriteFile(tree / "b.txt", "b");
    Log();
    constexpr auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(datafile, mode);
    const std::int64_t current = lastId("allist", "max"), previous = lastId("lastallist", "max");
    WriteFile(tree / "c.txt", "c");
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    EXPECT_EQ(fs::status(datafile).permissions(), mode);
    EXPECT_GT(lastId("allist", "min"), current);
    EXPECT_GT(lastId("lastallist", "min"), previous);
    EXPECT_EQ(TableRows(datafile, "allist").size(), 4u);
}
#endif

// The same entries listed in another order are the same tree, stored in the new order.
TEST_F(LoggingTest, TheSameSetInANewOrderIsReportedAsNothingAndStoredInThatOrder) {
    for (const char* name : {"a", "b", "c", "d/e", "d/f"}) WriteFile(tree / name, name);
    Log();
    const Lines scanned = TableRows(datafile, "allist");
    // The stored list as if the file system had listed everything after the top in reverse.
    {
        auto other = db::TDBSQLite::Create(datafile.string());
        other->executeQuery("create temp table reversed as select file, ident from allist "
                            "where id > (select min(id) from allist) order by id desc");
        other->executeQuery("delete from allist where id > (select min(id) from allist)");
        other->executeQuery("insert into allist (file, ident) select file, ident from reversed "
                            "order by rowid");
        ASSERT_FALSE(other->hasError());
    }
    Lines reversed = TableRows(datafile, "allist");
    ASSERT_EQ(reversed.size(), scanned.size());
    ASSERT_NE(reversed, scanned);
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    EXPECT_TRUE(Report().empty());
    EXPECT_EQ(TableRows(datafile, "allist"), scanned);
    // The rotation keeps the stored order, with a directory's identity as the empty text.
    for (std::string& row : reversed) {
        if (row.ends_with("|<NULL>")) row.resize(row.size() - std::string("<NULL>").size());
    }
    EXPECT_EQ(TableRows(datafile, "lastallist"), reversed);
}

TEST_F(LoggingTest, DigestModeStoresMd5TextsAndReportsTheSwitchAsChanges) {
    WriteFile(tree / "empty", "");
    WriteFile(tree / "abc", "abc");
    fs::create_directories(tree / "dir");
    Log();
    Click(g.md5Box);
    Log();
    const Lines rows = TableRows(datafile, "allist");
    EXPECT_NE(std::find(rows.begin(), rows.end(), Path("empty") + "|d41d8cd98f00b204e9800998ecf8427e"),
              rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), Path("abc") + "|900150983cd24fb0d6963f7d28e17f72"),
              rows.end());
    const Lines report = Report();
    EXPECT_EQ(std::set<std::string>(report.begin(), report.end()),
              (std::set<std::string>{"<T> - File changed: " + Path("empty"),
                                     "<T> - File changed: " + Path("abc")}));
}

// The deep tree and the full disk are made with POSIX calls.
#ifndef _WIN32
TEST_F(LoggingTest, TreesDeeperThanThePathLimitAreStoredDigestedAndReported) {
    testsupport::DeepTree deep(tree.string(), std::string(200, 'd'), 25);
    deep.Write("x.txt", "abc");
    const std::string bottomFile = deep.BottomPath() + "/x.txt";
    ASSERT_GT(bottomFile.size(), 4096u);
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    Lines rows = TableRows(datafile, "allist");
    ASSERT_EQ(rows.size(), 27u);
    EXPECT_EQ(rows.back(), bottomFile + "|3");
    deep.Write("x.txt", "abcd");
    Click(g.md5Box);
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    EXPECT_EQ(Report(), Lines{"<T> - File changed: " + bottomFile});
    rows = TableRows(datafile, "allist");
    ASSERT_EQ(rows.size(), 27u);
    EXPECT_EQ(rows.back(), bottomFile + "|e2fc714c4727ee9395f324cd2e7f331f");
}
#endif

TEST_F(LoggingTest, ADatafileLockedByAnotherProgramIsWaitedForAndOtherwiseLeftAlone) {
    WriteFile(tree / "a.txt", "a");
    Log();
    const std::string before = ReadFile(datafile);
    auto other = LockedByAnotherProgram(datafile);
    ASSERT_TRUE(other);
    Log();
    EXPECT_EQ(Status(), "Datafile ERROR! Datafile is locked by another program");
    EXPECT_EQ(Inspect(g.startStopButton).text, "Start logging");
    other->executeQuery("COMMIT");
    EXPECT_EQ(ReadFile(datafile), before);

    // A lock that ends while the load waits costs only the wait.
    other->executeQuery("BEGIN EXCLUSIVE");
    ASSERT_FALSE(other->hasError());
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other->executeQuery("COMMIT");
    });
    WriteFile(tree / "b.txt", "b");
    Log();
    release.join();
    EXPECT_EQ(Status(), "Dir log run complete");
    EXPECT_EQ(Report(), Lines{"<T> - New file: " + Path("b.txt")});
}

TEST_F(LoggingTest, StopDuringTheScanLeavesTheDatafileAsItWas) {
    for (int i = 0; i < 20; ++i) WriteFile(tree / ("f" + std::to_string(i)), "x");
    Log();
    const std::string before = ReadFile(datafile);
    WriteFile(tree / "new.txt", "n");
    StopWhen([this] { return !StatusBar().empty() && StatusBar() != "Processing datafile..." &&
                             StatusBar() != "Loading datafile..."; });
    Log();
    EXPECT_EQ(Status(), "Dir log run aborted");
    EXPECT_EQ(ReadFile(datafile), before);
    EXPECT_TRUE(Report().empty());
    EXPECT_EQ(Inspect(g.startStopButton).text, "Start logging");
    EXPECT_TRUE(Inspect(g.startStopButton).enabled);
}

TEST_F(LoggingTest, StopDuringTheLoadOrTheRotationLeavesTheDatafileAsItWas) {
    WriteFile(tree / "a.txt", "a");
    Log();
    const std::string before = ReadFile(datafile);
    // Another program holds the datafile until the stop, so the load still waits for it
    // when the stop comes, however fast it would be; the rotation polls at every row.
    auto other = LockedByAnotherProgram(datafile);
    ASSERT_TRUE(other);
    for (const char* step : {"Loading datafile...", "Processing datafile..."}) {
        StopWhen([this, step, other] {
            if (StatusBar() != step) return false;
            other->close();
            return true;
        });
        Log();
        EXPECT_EQ(Status(), "Dir log run aborted") << step;
        EXPECT_EQ(ReadFile(datafile), before) << step;
    }
    gui::headless::SetPollHandler(nullptr);
    WriteFile(tree / "b.txt", "b");
    Log();
    EXPECT_EQ(Report(), Lines{"<T> - New file: " + Path("b.txt")});
}

TEST_F(LoggingTest, StopDuringADigestEndsAtOnceAndTheNextStartWorks) {
    WriteFile(tree / "big", "");
    fs::resize_file(tree / "big", 64 << 20);
    Click(g.md5Box);
    StopWhen([this] { return StatusBar().rfind("MD5: ", 0) == 0; });
    Log();
    EXPECT_EQ(Status(), "Dir log run aborted");
    EXPECT_FALSE(fs::exists(datafile));
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    EXPECT_EQ(TableRows(datafile, "allist").size(), 2u);
}

// The lines the stop left unreported are owed: the next Start writes them, once each.
TEST_F(LoggingTest, StopDuringTheComparisonStillWritesTheLogAndOwesTheRest) {
    const fs::path log = scratch / "changes.log";
    ChooseLog(log);
    Log();
    for (int i = 0; i < 5; ++i) WriteFile(tree / ("f" + std::to_string(i)), "x");
    StopWhen([this] { return gui::headless::ProgressOf(g.progressBar) > 0 &&
                             gui::FetchGadgetText(g.reportArea).size() > 0; });
    Log();
    EXPECT_EQ(Status(), "Dir log run aborted");
    const std::size_t reported = Report().size();
    EXPECT_GE(reported, 1u);
    EXPECT_LT(reported, 5u);
    const std::string written = ReadFile(log);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), long(reported));
    EXPECT_EQ(TableRows(datafile, "allist").size(), 6u);
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    Lines report = Report();
    std::sort(report.begin(), report.end());
    EXPECT_EQ(std::unique(report.begin(), report.end()) - report.begin(), 5);
    EXPECT_EQ(report.size(), 5u);
    const std::string all = ReadFile(log);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 5);
    EXPECT_FALSE(fs::exists(datafile.string() + "-unlogged"));
}

#ifndef _WIN32
// A log with a history longer than the datafile, so that a full disk can refuse the log's
// rewrite and still take the save.
class OwedLinesTest : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        std::string history;
        for (int i = 0; i < 4000; ++i) {
            history += "01 Jan 2020 00:00:00 - New file: /old/" + std::to_string(i) + "\r\n";
        }
        WriteFile(log, history);
        ChooseLog(log);
        Log();
        WriteFile(tree / "a.txt", "a");
        {
            testsupport::FileSizeLimit fullDisk(history.size());
            Log();
        }
        EXPECT_EQ(Status(), "Failed to write log file " + log.string());
        EXPECT_EQ(ReadFile(log), history);
        EXPECT_TRUE(MarkerStands());
        // The program ends: only the marker still knows the line.
        app.run.unwrittenlog.clear();
    }

    // The log's lines after its history, dates and times left out.
    Lines NewLogLines() const {
        Lines lines;
        std::istringstream text(ReadFile(log));
        for (std::string line; std::getline(text, line);) {
            if (line.find("/old/") == std::string::npos) lines.push_back(line.substr(20));
        }
        return lines;
    }

    bool MarkerStands() const { return fs::exists(datafile.string() + "-unlogged"); }

    const fs::path log = scratch / "changes.log";
};

TEST_F(OwedLinesTest, ALineNoWriteCouldSaveIsWrittenOnceByTheNextStart) {
    Log();
    EXPECT_EQ(Status(), "Dir log run complete");
    EXPECT_EQ(NewLogLines(), Lines{" - New file: " + Path("a.txt") + "\r"});
    EXPECT_FALSE(MarkerStands());
    Log();
    EXPECT_EQ(NewLogLines().size(), 1u);
}

// Another program wrote the log after the failed write: its line stays, and the owed one
// follows it.
TEST_F(OwedLinesTest, ALogWrittenSinceTheFailedWriteStillGetsTheOwedLines) {
    WriteFile(log, ReadFile(log) + "02 Jan 2020 00:00:00 - New file: /elsewhere\r\n");
    Log();
    EXPECT_EQ(NewLogLines(), (Lines{" - New file: /elsewhere\r", " - New file: " + Path("a.txt") + "\r"}));
    EXPECT_FALSE(MarkerStands());
}
#endif

TEST_F(LoggingTest, IntervalModeWithZeroMinutesRunsAgainUntilStopped) {
    Click(g.intervalBox);
    gui::headless::TypeText(g.intervalField, "0");
    Settle();
    // The wait shows the next run as started before it polls.
    StopWhen([this] { return Status() == "Dir log interval run #3 started"; });
    Log();
    EXPECT_EQ(Status(), "Dir log run aborted");
    EXPECT_EQ(app.run.runnumber, 3);
}

TEST_F(LoggingTest, AMonitoredDirectoryThatCannotBeListedEndsLoggingNotTheProgram) {
    Browse(scratch / "missing");
    Log();
    EXPECT_EQ(Status(), "Failed To read directory " + (scratch / "missing").string() + ", skipping");
    EXPECT_FALSE(fs::exists(datafile));
    EXPECT_EQ(Inspect(g.startStopButton).text, "Start logging");
}

TEST_F(LoggingTest, AFailedSaveStaysInTheStatusAndTheRunStillReports) {
    ChooseDatafile(scratch / "no such dir" / "datafile");
    Log();
    EXPECT_EQ(Status(), "Datafile ERROR! Failed to save datafile");
    ChooseDatafile("");
    Log();
    EXPECT_EQ(Status(), "Datafile ERROR! Failed to save datafile");
}

#ifndef _WIN32
TEST_F(LoggingTest, ASaveOnAFullDiskRemovesTheDatafileItCreatedAndKeepsAnExistingOne) {
    const std::string journal = datafile.string() + "-journal";
    WriteFile(tree / "a.txt", "a");
    {
        testsupport::FileSizeLimit fullDisk(4096);
        Log();
    }
    EXPECT_EQ(Status(), "Datafile ERROR! Failed to save datafile");
    EXPECT_FALSE(fs::exists(datafile));
    EXPECT_FALSE(fs::exists(journal));
    Log();
    ASSERT_EQ(Status(), "Dir log run complete");
    const std::string before = ReadFile(datafile);
    for (int i = 0; i < 200; ++i) {
        WriteFile(tree / ("f" + std::to_string(i)), std::string(100, 'x'));
    }
    {
        testsupport::FileSizeLimit fullDisk(before.size());
        Log();
    }
    EXPECT_EQ(Status(), "Datafile ERROR! Failed to save datafile");
    EXPECT_EQ(ReadFile(datafile), before);
    EXPECT_FALSE(fs::exists(journal));
    Log();
    EXPECT_EQ(Report().size(), 400u);  // each new file reported by both runs
}
#endif

TEST_F(LoggingTest, ALogFileThatCannotBeWrittenIsReported) {
    fs::create_directories(scratch / "logdir");
    ChooseLog(scratch / "logdir");
    Log();
    Log();
    EXPECT_EQ(Status(), "Failed to write log file " + (scratch / "logdir").string());
    EXPECT_TRUE(TableRows(datafile, "allist").size() == 1u);
}

TEST_F(LoggingTest, ExitDuringLoggingEndsTheProcessAtOnce) {
    WriteFile(tree / "a", "a");
    gui::headless::SetPollHandler([this] { gui::headless::ChooseMenu(g.exitItem); });
    EXPECT_THROW(Log(), ProcessEnded);
    EXPECT_FALSE(fs::exists(datafile));
}

}  // namespace
}  // namespace apptest
