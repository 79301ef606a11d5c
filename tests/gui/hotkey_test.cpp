// Hot keys: binding, replacing, owners, and a key press in the headless driver.

#include "gui/hotkey.h"

#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

constexpr int KEY_F5 = 116;

class HotKeyTest : public GuiTest {
protected:
    TGadgetPtr window = MakeWindow("w", 0, 0, 300, 200, nullptr, WINDOW_CLIENTCOORDS);
    TGadgetPtr other = MakeWindow("other", 0, 0, 300, 200, nullptr, WINDOW_CLIENTCOORDS);
};

int CountHotKeys() {
    int count = 0;
    for (THotKeyPtr h = FirstHotKey(); h; h = h->succ) ++count;
    return count;
}

TEST_F(HotKeyTest, BindingTheSameKeyAgainReplacesItsEventInPlace) {
    const TEventPtr first = TEvent::Create(NewUserEventId("first"));
    const TEventPtr second = TEvent::Create(NewUserEventId("second"));
    const THotKeyPtr a = BindHotKey('S', MODIFIER_CONTROL, first, window);
    const THotKeyPtr b = BindHotKey('S', MODIFIER_CONTROL, second, window);
    EXPECT_EQ(a, b);
    EXPECT_EQ(CountHotKeys(), 1);
    EXPECT_EQ(LookupHotKey('S', MODIFIER_CONTROL, window), second);
}

TEST_F(HotKeyTest, DefaultEventIsAHotkeyHitWithKeyAndModifiers) {
    BindHotKey(KEY_F5, MODIFIER_SHIFT);
    const TEventPtr event = LookupHotKey(KEY_F5, MODIFIER_SHIFT, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->id, HotkeyHit);
    EXPECT_EQ(event->data, KEY_F5);
    EXPECT_EQ(event->mods, MODIFIER_SHIFT);
    EXPECT_EQ(event->source, nullptr);
    EXPECT_EQ(LookupHotKey(KEY_F5, 0, nullptr), nullptr);
}

TEST_F(HotKeyTest, WindowKeysMatchOnlyTheirWindowAndGlobalKeysEvery) {
    const TEventPtr global = TEvent::Create(NewUserEventId(""));
    const TEventPtr own = TEvent::Create(NewUserEventId(""));
    BindHotKey('G', 0, global);
    const THotKeyPtr owned = BindHotKey('G', 0, own, window);  // newer: found first
    EXPECT_EQ(CountHotKeys(), 2);
    EXPECT_EQ(LookupHotKey('G', 0, window), own);
    EXPECT_EQ(LookupHotKey('G', 0, other), global);
    EXPECT_EQ(LookupHotKey('G', 0, nullptr), global);

    // A window that is gone keeps no key alive for a window made after it.
    DiscardGadget(window);
    window.reset();
    EXPECT_TRUE(owned->owner.expired());
    const TGadgetPtr later = MakeWindow("later", 0, 0, 10, 10, nullptr, 0);
    EXPECT_EQ(LookupHotKey('G', 0, later), global);
}

TEST_F(HotKeyTest, UnbindingRemovesOnlyThatRecord) {
    const THotKeyPtr a = BindHotKey('A', 0);
    const THotKeyPtr b = BindHotKey('B', 0);
    const THotKeyPtr c = BindHotKey('C', 0);
    UnbindHotKey(b);
    UnbindHotKey(b);  // no longer bound: nothing
    EXPECT_EQ(FirstHotKey(), c);
    EXPECT_EQ(c->succ, a);
    EXPECT_EQ(LookupHotKey('B', 0, nullptr), nullptr);
}

TEST_F(HotKeyTest, AKeyPressEmitsTheHotKeyAndTheFieldNeverSeesIt) {
    const TGadgetPtr field = MakeTextField(0, 0, 100, 20, window);
    BindHotKey('Q', MODIFIER_CONTROL, nullptr, window);
    hl::PressKey(field, 'Q', 'q', MODIFIER_CONTROL);
    ASSERT_EQ(TakeEvent(), HotkeyHit);
    EXPECT_EQ(CurrentEventData(), 'Q');
    EXPECT_EQ(TakeEvent(), 0);
    EXPECT_EQ(FetchGadgetText(field), "");

    hl::PressKey(field, 'Q', 'q', 0);  // without Control: typed
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(FetchGadgetText(field), "q");
}

}  // namespace
}  // namespace guitest
