// The application's window driven as a user would, on the headless driver.

#include <atomic>
#include <thread>

#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

class HeadlessTest : public GuiTest {
protected:
    TAppWindow app = BuildAppWindow();
};

TEST_F(HeadlessTest, WindowStartsAsTheApplicationBuildsIt) {
    EXPECT_EQ(hl::Windows(), (std::vector<TGadgetPtr>{app.window}));
    const hl::TGadgetView start = hl::Inspect(app.startStop);
    EXPECT_EQ(start.text, "Start logging");
    EXPECT_FALSE(start.enabled);
    EXPECT_EQ(hl::Inspect(app.intervalField).text, "1");
    EXPECT_EQ(hl::Inspect(app.md5).buttonState, 0);
    EXPECT_EQ(hl::FindGadget(app.window, GADGET_BUTTON, "Save as...", 1), app.logSave);
    EXPECT_EQ(hl::GadgetsOfKind(app.window, GADGET_TEXTFIELD).size(), 4u);
}

TEST_F(HeadlessTest, ClickOnAPushButtonReportsAnAction) {
    hl::Click(app.browse);
    EXPECT_TRUE(hl::InputPending());
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventSource(), app.browse);
    EXPECT_EQ(CurrentEventData(), 0);
}

TEST_F(HeadlessTest, CheckBoxTogglesBeforeItReports) {
    hl::Click(app.md5);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventData(), 1);
    EXPECT_EQ(ReadButtonState(app.md5), 1);
    hl::Click(app.md5);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventData(), 0);
    app.md5->SetSelected(CHECK_INDETERMINATE);
    hl::Click(app.md5);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventData(), 1);  // indeterminate becomes checked
}

TEST_F(HeadlessTest, DisabledButtonIgnoresClicksUntilEnabled) {
    hl::Click(app.startStop);
    EXPECT_EQ(TakeEvent(), 0);
    EnableGadgetInput(app.startStop);
    hl::Click(app.startStop);
    EXPECT_EQ(TakeEvent(), GadgetAction);
}

TEST_F(HeadlessTest, PathFieldsRejectTypingAndTheIntervalFieldTakesIt) {
    hl::TypeText(app.dirField, "/etc");
    EXPECT_EQ(TakeEvent(), 0);
    EXPECT_EQ(FetchGadgetText(app.dirField), "");

    hl::TypeText(app.intervalField, "15");
    ASSERT_EQ(TakeEvent(), GadgetAction);  // one merged action for both keys
    EXPECT_EQ(CurrentEventSource(), app.intervalField);
    EXPECT_EQ(TakeEvent(), 0);
    EXPECT_EQ(FetchGadgetText(app.intervalField), "15");

    hl::TypeText(app.intervalField, "0", false);
    hl::PressKey(app.intervalField, hl::KEY_BACKSPACE, 0);
    hl::PressKey(app.intervalField, hl::KEY_BACKSPACE, 0);
    TakeEvent();
    EXPECT_EQ(FetchGadgetText(app.intervalField), "1");
    hl::TypeText(app.intervalField, "");
    TakeEvent();
    EXPECT_EQ(FetchGadgetText(app.intervalField), "");
}

TEST_F(HeadlessTest, KeyFilterSeesEachKeyDownAndCharacter) {
    std::vector<std::pair<int, int>> seen;
    FilterGadget(
        app.intervalField,
        [&seen](const TEventPtr& event, const rt::TObjectPtr&) {
            seen.emplace_back(event->id, event->data);
            return event->data != '7';  // digits other than 7 get through
        },
        nullptr);
    hl::TypeText(app.intervalField, "a7\xC3\xA9");
    TakeEvent();
    EXPECT_EQ(FetchGadgetText(app.intervalField), "a\xC3\xA9");
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{
                        {KeyDown, 'A'}, {KeyChar, 'a'}, {KeyDown, '7'}, {KeyDown, 0xE9},
                        {KeyChar, 0xE9}}));
}

TEST_F(HeadlessTest, KeySensitiveFieldsReportTheirKeys) {
    app.intervalField->SetSensitivity(SENSITIZE_KEYS);
    hl::TypeText(app.intervalField, "2");
    EXPECT_EQ(TakeEvent(), KeyDown);
    EXPECT_EQ(TakeEvent(), KeyChar);
    EXPECT_EQ(TakeEvent(), GadgetAction);
}

TEST_F(HeadlessTest, MenuChoicesCarryTheirTags) {
    hl::ChooseMenu(app.exitItem);
    ASSERT_EQ(TakeEvent(), MenuAction);
    EXPECT_EQ(CurrentEventData(), 1);
    EXPECT_EQ(CurrentEventSource(), app.exitItem);
    EXPECT_EQ(CurrentEventExtra(), nullptr);
    hl::ChooseMenu(hl::FindMenuItem(app.window, 3));
    ASSERT_EQ(TakeEvent(), MenuAction);
    EXPECT_EQ(CurrentEventData(), 3);
}

TEST_F(HeadlessTest, MenuItemsAddedAfterTheRebuildCannotBeChosen) {
    const TGadgetPtr late = MakeMenuItem("&Late", 9, app.window);
    hl::ChooseMenu(late);
    EXPECT_EQ(TakeEvent(), 0);
    RebuildMenuBar(app.window);
    hl::ChooseMenu(late);
    EXPECT_EQ(TakeEvent(), MenuAction);
}

TEST_F(HeadlessTest, CloseIsReportedAndLeavesTheWindowToTheApplication) {
    hl::CloseWindow(app.window);
    ASSERT_EQ(AwaitEvent(), WindowClose);
    EXPECT_EQ(CurrentEventSource(), app.window);
    EXPECT_EQ(hl::Windows().size(), 1u);
}

TEST_F(HeadlessTest, WaitHandlerPlaysUserInputLineByLine) {
    std::vector<std::function<void()>> script = {
        [&] { hl::QueueDirAnswer("/data"); },  // produces no input: the handler runs again
        [&] { hl::Click(app.browse); },
        [&] { hl::ResizeClient(app.window, 600, 450); },
    };
    std::size_t next = 0;
    hl::SetWaitHandler([&] { script.at(next++)(); });
    ASSERT_EQ(AwaitEvent(), GadgetAction);
    EXPECT_EQ(RequestDir("Select dir to monitor", ""), "/data");
    ASSERT_EQ(AwaitEvent(), WindowSize);
    EXPECT_EQ(hl::Inspect(app.browse).x, 600 - 276);
    EXPECT_EQ(next, 3u);
}

TEST_F(HeadlessTest, PollHandlerInputIsHandledInTheSamePoll) {
    int polls = 0;
    hl::SetPollHandler([&] {
        if (++polls == 3) hl::Click(app.browse);
    });
    EXPECT_EQ(TakeEvent(), 0);
    EXPECT_EQ(TakeEvent(), 0);
    EXPECT_EQ(TakeEvent(), GadgetAction);
}

TEST_F(HeadlessTest, FreedGadgetsTakeNoInput) {
    hl::Click(app.browse);
    DiscardGadget(app.browse);
    EXPECT_EQ(TakeEvent(), 0);
}

TEST_F(HeadlessTest, StatusLabelCanBeWrittenFromAWorkerWhileTheMainThreadPolls) {
    std::atomic<bool> done{false};
    bool torn = false;
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) {
            PutGadgetText(app.status, i % 2 ? "Datafile could not be read" : "Loading");
        }
        done = true;
    });
    while (!done) {
        TakeEvent();
        const std::string text = hl::Inspect(app.status).text;
        torn = torn || !(text.empty() || text == "Loading" || text == "Datafile could not be read");
    }
    worker.join();
    EXPECT_FALSE(torn);
    EXPECT_EQ(FetchGadgetText(app.status), "Datafile could not be read");
}

}  // namespace
}  // namespace guitest
