// Input given through the system as a user's: clicks, check-box toggles, typing and the
// key filter that refuses it, dialog navigation with Tab and Enter, menu choices from the
// keyboard, the close box; and what the program writes to the window, from the main
// thread and from another one.

#include <thread>

#include "gui/gui.h"
#include "tests/win32/win32_fixture.h"

namespace win32test {
namespace {

namespace probe = gui::win32::probe;
using InputTest = MainWindowTest;

// The toolkit's key codes, which are the system's virtual keys.
constexpr int kBackspace = 8, kTab = 9, kEnter = 13, kShift = 16, kAlt = 18;

TEST_F(InputTest, ButtonClickIsAGadgetActionWithStateZero) {
    probe::Click(g.browseButton);
    const std::vector<SeenEvent> actions = AwaitEventsOf(gui::GadgetAction, g.browseButton);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 0);
}

TEST_F(InputTest, DisabledButtonReportsNothing) {
    probe::Click(g.startStopButton);
    probe::Click(g.logSaveButton);  // a click that does arrive, to know the first was handled
    AwaitEventsOf(gui::GadgetAction, g.logSaveButton);
    probe::Click(g.startStopButton);
    probe::Click(g.browseButton);
    std::vector<SeenEvent> all;
    PumpUntil([&] {
        for (const SeenEvent& e : TakeAllEvents()) all.push_back(e);
        return !EventsOf(all, gui::GadgetAction, g.browseButton).empty();
    });
    EXPECT_TRUE(EventsOf(all, gui::GadgetAction, g.startStopButton).empty());
}

TEST_F(InputTest, CheckBoxClicksToggleAndReportTheNewState) {
    probe::Click(g.md5Box);
    std::vector<SeenEvent> actions = AwaitEventsOf(gui::GadgetAction, g.md5Box);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 1);
    EXPECT_EQ(gui::ReadButtonState(g.md5Box), 1);
    EXPECT_EQ(probe::CheckState(g.md5Box), 1);

    probe::Click(g.md5Box);
    actions = AwaitEventsOf(gui::GadgetAction, g.md5Box);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 0);
    EXPECT_EQ(probe::CheckState(g.md5Box), 0);
}

TEST_F(InputTest, IndeterminateCheckBoxBecomesCheckedWhenClicked) {
    g.intervalBox->SetSelected(gui::CHECK_INDETERMINATE);
    EXPECT_EQ(gui::ReadButtonState(g.intervalBox), -1);
    EXPECT_EQ(probe::CheckState(g.intervalBox), -1);
    EXPECT_TRUE(TakeAllEvents().empty());  // set by the program: no event

    probe::Click(g.intervalBox);
    const std::vector<SeenEvent> actions = AwaitEventsOf(gui::GadgetAction, g.intervalBox);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].data, 1);
    EXPECT_EQ(probe::CheckState(g.intervalBox), 1);
}

TEST_F(InputTest, FilteredFieldRefusesTypingWhileTheIntervalFieldTakesIt) {
    probe::Focus(g.dirField);
    probe::PressKeys({'A', kBackspace, 'B'});
    // Tab from the interval check box reaches the interval field and selects its "1".
    Settle();
    probe::Focus(g.intervalBox);
    probe::PressKeys({kTab, '5'});
    const std::vector<SeenEvent> edits = AwaitEventsOf(gui::GadgetAction, g.intervalField);
    ASSERT_FALSE(edits.empty());
    EXPECT_EQ(edits[0].data, 0);
    EXPECT_EQ(gui::FetchGadgetText(g.intervalField), "5");
    EXPECT_EQ(gui::FetchGadgetText(g.dirField), "");
    EXPECT_TRUE(probe::HasFocus(g.intervalField));
}

TEST_F(InputTest, TabAndShiftTabMoveTheFocusInCreationOrder) {
    probe::Focus(g.dirField);
    probe::PressKeys({kTab});
    ASSERT_TRUE(PumpUntil([&] { return probe::HasFocus(g.browseButton); }));
    probe::PressKeys({kTab});
    ASSERT_TRUE(PumpUntil([&] { return probe::HasFocus(g.datafileField); }));
    probe::PressKeys({kTab}, {kShift});
    ASSERT_TRUE(PumpUntil([&] { return probe::HasFocus(g.browseButton); }));
}

TEST_F(InputTest, EnterPressesTheFocusedButton) {
    probe::Focus(g.logSaveButton);
    probe::PressKeys({kEnter});
    EXPECT_EQ(AwaitEventsOf(gui::GadgetAction, g.logSaveButton).size(), 1u);
}

TEST_F(InputTest, TextSetByTheProgramIsNoGadgetAction) {
    gui::PutGadgetText(g.intervalField, "15");
    gui::PutGadgetText(g.dirField, "C:\\Users\\ann");
    Settle();
    EXPECT_EQ(gui::FetchGadgetText(g.dirField), "C:\\Users\\ann");
    EXPECT_EQ(probe::NativeText(g.intervalField), "15");
    gui::PutGadgetText(g.intervalField, "3");
    EXPECT_TRUE(TakeAllEvents().empty());
}

TEST_F(InputTest, KeySensitiveGadgetReportsKeysAndTheFilterSeesThemFirst) {
    std::vector<int> filtered;
    gui::FilterGadget(g.intervalField,
                      [&](const gui::TEventPtr& e, const rt::TObjectPtr&) {
                          filtered.push_back(e->id);
                          return e->data == '7' ? 0 : 1;  // refuses the digit 7 only
                      },
                      nullptr);
    g.intervalField->SetSensitivity(gui::SENSITIZE_KEYS);
    gui::PutGadgetText(g.intervalField, "");
    probe::Focus(g.intervalField);
    probe::PressKeys({'7', 'B'});
    std::vector<SeenEvent> all;
    PumpUntil([&] {
        for (const SeenEvent& e : TakeAllEvents()) all.push_back(e);
        return !EventsOf(all, gui::KeyUp, g.intervalField).empty() && !EventsOf(all, gui::KeyChar, g.intervalField).empty();
    });
    Settle();
    const std::vector<SeenEvent> downs = EventsOf(all, gui::KeyDown, g.intervalField);
    const std::vector<SeenEvent> chars = EventsOf(all, gui::KeyChar, g.intervalField);
    ASSERT_EQ(downs.size(), 1u);  // the 7 was swallowed before it was reported
    EXPECT_EQ(downs[0].data, 'B');
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].data, 'b');
    EXPECT_EQ(gui::FetchGadgetText(g.intervalField), "b");
    EXPECT_EQ(filtered, (std::vector<int>{gui::KeyDown, gui::KeyDown, gui::KeyChar}));
}

TEST_F(InputTest, MenuChoicesFromTheKeyboardReportTheirTags) {
    probe::Focus(g.intervalField);
    probe::PressKeys({'H'}, {kAlt});
    probe::PressKeys({'A'});
    const std::vector<SeenEvent> about = AwaitEventsOf(gui::MenuAction, g.aboutItem);
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(about[0].data, 3);
    probe::PressKeys({'F'}, {kAlt});
    probe::PressKeys({'X'});
    const std::vector<SeenEvent> exits = AwaitEventsOf(gui::MenuAction, g.exitItem);
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_EQ(exits[0].data, 1);
}

TEST_F(InputTest, CloseBoxAsksAndTheWindowStays) {
    probe::PressCloseBox(g.window);
    EXPECT_EQ(AwaitEventsOf(gui::WindowClose, g.window).size(), 1u);
    Settle();
    EXPECT_TRUE(probe::IsShown(g.window));
}

TEST_F(InputTest, StatusBarProgressBarAndReportAreaShowWhatTheProgramWrites) {
    gui::PutStatusBarText(g.window, "Loading datafile...");
    EXPECT_EQ(probe::StatusBarText(g.window), "Loading datafile...");
    gui::PutProgressValue(g.progressBar, 0.25f);
    EXPECT_EQ(probe::ProgressPosition(g.progressBar), 25);
    for (int i = 0; i < 40; ++i)
        gui::AppendAreaText(g.reportArea, "07 Dec 2026 09:05:03 - New file: C:\\t\\f" + std::to_string(i) + ".txt\n");
    Settle();
    EXPECT_TRUE(probe::ShowsLastLine(g.reportArea));  // the report follows its end
    const std::string text = gui::FetchGadgetText(g.reportArea);
    EXPECT_EQ(text.substr(text.size() - 9), "\\f39.txt\n");  // line ends read back as "\n"
}

TEST_F(InputTest, LabelSetFromAnotherThreadShowsAfterThePoll) {
    std::thread worker([&] { gui::PutGadgetText(g.statusLabel, "Datafile could not be loaded"); });
    worker.join();
    EXPECT_EQ(gui::FetchGadgetText(g.statusLabel), "Datafile could not be loaded");
    gui::PumpSystem();
    EXPECT_EQ(probe::NativeText(g.statusLabel), "Datafile could not be loaded");
}

TEST_F(InputTest, NamesThatAreNotValidUtf16KeepTheirUnits) {
    const std::string name = "C:\\t\\caf\xC3\xA9 \xF0\x9F\x98\x80.txt";
    gui::PutGadgetText(g.dirField, name);
    EXPECT_EQ(gui::FetchGadgetText(g.dirField), name);
    gui::PutStatusBarText(g.window, name);
    EXPECT_EQ(probe::StatusBarText(g.window), name);
}

}  // namespace
}  // namespace win32test
