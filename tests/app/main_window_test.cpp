// The main window while idle: button states, path fields, check boxes, menu; and what the
// program sets up at its start.

#include "app/idle_loop.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "gui/platform/headless/headless.h"
#include "runtime/process.h"
#include "tests/app/app_fixture.h"

namespace apptest {
namespace {

using gui::headless::Inspect;

using MainWindowTest = AppTest;

TEST_F(MainWindowTest, StartIsEnabledByTheFirstDirectoryAndStaysEnabled) {
    EXPECT_EQ(Inspect(g.window).text, "Tervala_gui v1.4");
    EXPECT_FALSE(Inspect(g.startStopButton).enabled);
    Browse(tree);
    EXPECT_TRUE(Inspect(g.startStopButton).enabled);
    EXPECT_EQ(Inspect(g.dirField).text, tree.string());
    Browse("");
    EXPECT_TRUE(Inspect(g.startStopButton).enabled);
    EXPECT_EQ(Inspect(g.dirField).text, "");
    EXPECT_EQ(app.run.dir, "");
}

TEST_F(MainWindowTest, PathFieldsRejectTypingAndTheIntervalFieldTakesIt) {
    for (const auto& field : {g.dirField, g.datafileField, g.logField}) {
        gui::headless::TypeText(field, "typed");
        Settle();
        EXPECT_EQ(Inspect(field).text, "");
    }
    EXPECT_EQ(Inspect(g.intervalField).text, "1");
    gui::headless::TypeText(g.intervalField, "15");
    Settle();
    EXPECT_EQ(Inspect(g.intervalField).text, "15");
}

TEST_F(MainWindowTest, AboutOpensThePageAndExitEndsTheProgram) {
    gui::headless::ChooseMenu(g.aboutItem);
    Settle();
    EXPECT_EQ(gui::headless::TakeOpenedUrls().size(), 1u);
    gui::headless::ChooseMenu(g.exitItem);
    try {
        Settle();
        ADD_FAILURE() << "Exit did not end the program";
    } catch (const ProcessEnded& ended) {
        EXPECT_EQ(ended.status, 0);
    }
}

TEST(ProgramStart, RegistersTheDatabaseDriverBeforeTheWindowWaitsForInput) {
    gui::headless::Reset();
    rt::SetEndProcessHandler([](int status) { throw ProcessEnded{status}; });
    gui::headless::SetWaitHandler(
        [] { gui::headless::ChooseMenu(app::TheApplication().gadgets.exitItem); });
    EXPECT_THROW(app::RunMain(), ProcessEnded);
    rt::SetEndProcessHandler(nullptr);
    gui::headless::Reset();
    const auto connection = db::connectDatabase("SQLITE", ":memory:", "", 0, "", "", "", "");
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->isOpen(), 1);
}

}  // namespace
}  // namespace apptest
