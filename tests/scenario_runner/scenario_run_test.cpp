#include "tools/scenario/scenario_run.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/temp_dir.h"

namespace scenario {
namespace {

// Records the input it is given and shows the texts a test puts in.
class TFakeHost : public TScenarioHost {
public:
    std::map<std::string, std::string, std::less<>> texts{{"status", ""}, {"report", ""}};
    std::string statusBar;
    std::vector<std::string> input;

    bool HasGadget(std::string_view name) override { return texts.count(name) > 0; }
    std::string GadgetText(std::string_view name) override { return texts.find(name)->second; }
    bool GadgetEnabled(std::string_view) override { return true; }
    int ButtonState(std::string_view) override { return 0; }
    TRect GadgetRect(std::string_view) override { return {}; }
    std::string StatusBarText() override { return statusBar; }
    int ProgressSteps() override { return 0; }
    int TakeOpenedUrls() override { return 0; }
    void QueueDirAnswer(const std::string& answer) override { input.push_back("dir " + answer); }
    void QueueFileAnswer(const std::string& answer) override { input.push_back("file " + answer); }
    void Click(std::string_view name) override { input.push_back("click " + std::string(name)); }
    void TypeText(std::string_view name, const std::string& text) override {
        input.push_back("type " + std::string(name) + " " + text);
    }
    void ChooseMenu(int tag) override { input.push_back("menu " + std::to_string(tag)); }
    void CloseWindow() override { input.push_back("close"); }
    void ResizeWindow(int width, int height) override {
        input.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
};

class ScenarioRunTest : public ::testing::Test {
protected:
    TScenarioRun& Load(const std::string& text) {
        TScript script;
        std::string error;
        EXPECT_TRUE(ParseScript("s.scn", text, {dir.path(), "/"}, script, error)) << error;
        run = std::make_unique<TScenarioRun>("s.scn", std::move(script), host);
        return *run;
    }

    testsupport::TempDir dir;
    TFakeHost host;
    std::unique_ptr<TScenarioRun> run;
};

using V = std::vector<std::string>;

TEST_F(ScenarioRunTest, EachIdleWaitRunsCommandsUpToTheNextInput) {
    TScenarioRun& r = Load("answer-dir $ROOT\nclick browse\nexpect-status \"\"\nmenu about\n"
                           "set-text interval-field 5\nresize 10 20\nclose\n");
    host.texts["interval-field"] = "1";
    host.texts["browse"] = "Browse...";
    EXPECT_EQ(r.OnIdle().kind, TOutcome::Continue);
    EXPECT_EQ(host.input, (V{"dir " + dir.path(), "click browse"}));
    EXPECT_EQ(r.OnIdle().kind, TOutcome::Continue);
    EXPECT_EQ(host.input.back(), "menu 3");
    r.OnIdle();
    r.OnIdle();
    r.OnIdle();
    EXPECT_EQ(host.input, (V{"dir " + dir.path(), "click browse", "menu 3",
                             "type interval-field 5", "resize 10x20", "close"}));
    // The last command ended the program: passed.
    EXPECT_EQ(r.OnProcessEnd(0).kind, TOutcome::Passed);
}

TEST_F(ScenarioRunTest, AnExhaustedScriptPassesAtTheNextWait) {
    TScenarioRun& r = Load("expect-status ready\n");
    host.texts["status"] = "ready";
    EXPECT_EQ(r.OnIdle().kind, TOutcome::Passed);
}

TEST_F(ScenarioRunTest, AFailedExpectationNamesItsLineAndBothTexts) {
    TScenarioRun& r = Load("\nexpect-status \"Dir log run complete\"\n");
    host.texts["status"] = "Dir log run aborted";
    const TOutcome outcome = r.OnIdle();
    EXPECT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message, "s.scn:2: expected the status label \"Dir log run complete\", "
                               "found \"Dir log run aborted\"");
}

TEST_F(ScenarioRunTest, AClickOnAGadgetThatIsNotThereFails) {
    TScenarioRun& r = Load("click md5\n");
    const TOutcome outcome = r.OnIdle();
    EXPECT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message, "s.scn:1: the application has no gadget \"md5\" at this moment");
}

TEST_F(ScenarioRunTest, TheProgramEndingEarlyFailsAtTheLineReached) {
    TScenarioRun& r = Load("menu exit\nexpect-status x\n");
    r.OnIdle();
    const TOutcome outcome = r.OnProcessEnd(0);
    EXPECT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message,
              "s.scn:2: the application ended (exit status 0) before this line was reached");
}

TEST_F(ScenarioRunTest, TriggersFireOnceInArmingOrderWhenTheirConditionHolds) {
    TScenarioRun& r = Load("when polls 3 click md5\n"
                           "when statusbar-prefix \"MD5: \" click startstop\n"
                           "when status done write $ROOT/seen yes\n"
                           "click startstop\n");
    host.texts["md5"] = "";
    host.texts["startstop"] = "";
    r.OnIdle();
    host.input.clear();
    host.statusBar = "MD5: /a";
    host.texts["status"] = "done";
    r.OnPoll();  // all hold; only the first armed that holds fires: poll 1 is too early
    EXPECT_EQ(host.input, V{"click startstop"});
    r.OnPoll();
    EXPECT_EQ(dir.read("seen"), "yes");
    r.OnPoll();
    EXPECT_EQ(host.input, (V{"click startstop", "click md5"}));
    r.OnPoll();
    EXPECT_EQ(host.input.size(), 2u);
    EXPECT_EQ(r.OnIdle().kind, TOutcome::Passed);
}

TEST_F(ScenarioRunTest, ATriggerStillArmedAtTheEndFails) {
    TScenarioRun& r = Load("close\nwhen status never click startstop\n");
    r.OnIdle();
    const TOutcome outcome = r.OnIdle();
    EXPECT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message, "s.scn:2: the script ended with this trigger still armed "
                               "(its condition never held)");
    EXPECT_EQ(r.OnProcessEnd(0).kind, TOutcome::Failed);
}

TEST_F(ScenarioRunTest, ReportExpectationsMaskTimestamps) {
    host.texts["report"] = "07 Dec 2026 09:05:03 - New file: /a\n07 Dec 2026 09:05:04 - Dir removed: /d\n";
    TScenarioRun& r = Load("expect-report\n<T> - New file: /a\n<T> - Dir removed: /d\nend\n"
                           "expect-report-set\n<T> - Dir removed: /d\n<T> - New file: /a\nend\n"
                           "expect-report-count 2\nsave-report $ROOT/saved\n"
                           "expect-report\n<T> - New file: /a\nend\n");
    const TOutcome outcome = r.OnIdle();
    EXPECT_EQ(dir.read("saved"), "<T> - New file: /a\n<T> - Dir removed: /d\n");
    ASSERT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message.rfind("s.scn:11: the report differs:", 0), 0u) << outcome.message;
}

TEST_F(ScenarioRunTest, LogExpectationsDecodeTheFileAndNeedCrLf) {
    dir.write("latin.log", "07 Dec 2026 09:05:03 - New file: /caf\xE9\r\nold\r\n");
    dir.write("utf16.log", std::string("\xFF\xFE" "a\0\xAC\x20\r\0\n\0", 10));
    dir.write("bare.log", "no line end");
    TScenarioRun& r = Load("expect-log $ROOT/latin.log\n<T> - New file: /caf\\u00e9\nold\nend\n"
                           "expect-log-set $ROOT/latin.log\nold\n<T> - New file: /caf\\u00e9\nend\n"
                           "expect-log $ROOT/utf16.log\na\\u20ac\nend\n"
                           "expect-bytes $ROOT/utf16.log \"FF FE 61\"\n"
                           "expect-log $ROOT/bare.log\nno line end\nend\n");
    const TOutcome outcome = r.OnIdle();
    ASSERT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message, "s.scn:13: the log file " + dir.path() +
                                   "/bare.log ends with a line without CR LF: \"no line end\"");
}

TEST_F(ScenarioRunTest, FileCommandsAndTheirExpectations) {
#ifdef _WIN32
    // Symbolic links need a privilege on Windows; a directory stands in for the link.
    const std::string link = "mkdir $ROOT/link\n";
#else
    const std::string link = "symlink $ROOT/a $ROOT/link\n";
#endif
    TScenarioRun& r = Load("write $ROOT/a/b/c.txt \"two\\nlines\"\nappend $ROOT/a/b/c.txt !\n"
                           "write-hex $ROOT/h \"00 ff\"\nfill $ROOT/f1 3000000\nfill $ROOT/f2 3000000\n"
                           "sparse $ROOT/s 5000000000\nrename $ROOT/h $ROOT/h2\n"
                           + link + "remove $ROOT/a\n"
                           "expect-missing $ROOT/a\nexpect-exists $ROOT/link\nexpect-bytes $ROOT/h2 00FF\n"
                           "expect-bytes $ROOT/h2 00FF00\n");
    const TOutcome outcome = r.OnIdle();
    ASSERT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message, "s.scn:13: expected " + dir.path() +
                                   "/h2 to begin with the bytes 00FF00, found 00FF");
    EXPECT_EQ(dir.read("f1"), dir.read("f2"));
    EXPECT_EQ(dir.read("f1").size(), 3000000u);
    EXPECT_NE(dir.read("f1").substr(0, 1000), std::string(1000, '\0'));
}

TEST_F(ScenarioRunTest, RowsOfADatafile) {
    TScenarioRun& r = Load(
        "sql $ROOT/d.db \"CREATE TABLE allist (id integer primary key, file text, ident text);"
        " INSERT INTO allist (file, ident) VALUES ('/t', NULL), ('/t/it''s', '5'), ('/t/d', '')\"\n"
        "expect-rows $ROOT/d.db allist\n/t|<NULL>\n/t/it's|5\n/t/d|\nend\n"
        "expect-rows-order $ROOT/d.db allist\n/t|<NULL>\n/t/d|\nend\n"
        "expect-rows $ROOT/d.db lastallist\nend\n");
    const TOutcome outcome = r.OnIdle();
    ASSERT_EQ(outcome.kind, TOutcome::Failed);
    EXPECT_EQ(outcome.message.rfind("s.scn:11: cannot read table lastallist", 0), 0u)
        << outcome.message;
}

}  // namespace
}  // namespace scenario
