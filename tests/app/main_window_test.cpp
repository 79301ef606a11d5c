// The main window while idle: button states, path fields, check boxes, menu.

#include "gui/gui.h"
#include "gui/platform/headless/headless.h"
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

}  // namespace
}  // namespace apptest
