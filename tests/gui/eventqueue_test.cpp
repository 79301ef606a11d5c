// The event ring: coalescing, order, overflow, and what the accessors read.

#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;

class EventQueueTest : public GuiTest {
protected:
    rt::TObjectPtr first = std::make_shared<rt::TTextObject>("first");
    rt::TObjectPtr second = std::make_shared<rt::TTextObject>("second");
};

TEST_F(EventQueueTest, EmptyQueueGivesZeroAndTheBlankEvent) {
    EmitNewEvent(KeyDown, first, 7);
    ASSERT_EQ(TakeEvent(), KeyDown);
    EXPECT_EQ(CurrentEventData(), 7);
    EXPECT_EQ(TakeEvent(), 0);
    EXPECT_EQ(CurrentEventSource(), nullptr);
    EXPECT_EQ(CurrentEventData(), 0);
    EXPECT_EQ(CurrentEventSourceHandle(), 0);
}

TEST_F(EventQueueTest, ClicksOfOneSourceMergeIntoTheFirstKeepingTheLastData) {
    EmitNewEvent(GadgetAction, first, 1);
    EmitNewEvent(KeyDown, second, 5);
    EmitNewEvent(GadgetAction, first, 0, MODIFIER_SHIFT, 3, 4);
    EXPECT_EQ(QueuedEventCount(), 2);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventData(), 0);
    EXPECT_EQ(CurrentEventMods(), MODIFIER_SHIFT);
    EXPECT_EQ(CurrentEventX(), 3);
    EXPECT_EQ(CurrentEventY(), 4);
    EXPECT_EQ(TakeEvent(), KeyDown);
}

TEST_F(EventQueueTest, ClicksOfDifferentSourcesStayInOrder) {
    EmitNewEvent(GadgetAction, first);
    EmitNewEvent(GadgetAction, second);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventSource(), first);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventSource(), second);
}

TEST_F(EventQueueTest, OnlyMovesSizesTicksAndActionsMerge) {
    EmitNewEvent(MenuAction, first, 1);
    EmitNewEvent(MenuAction, first, 1);
    EmitNewEvent(TimerTick, first);
    EmitNewEvent(TimerTick, first);
    EmitNewEvent(WindowMove, first);
    EmitNewEvent(WindowMove, first);
    EXPECT_EQ(QueuedEventCount(), 4);
}

TEST_F(EventQueueTest, CloseBetweenTwoSizesComesAfterTheMergedSize) {
    EmitNewEvent(WindowSize, first, 0, 0, 500, 400);
    EmitNewEvent(WindowClose, first);
    EmitNewEvent(WindowSize, first, 0, 0, 640, 480);
    ASSERT_EQ(TakeEvent(), WindowSize);
    EXPECT_EQ(CurrentEventX(), 640);
    EXPECT_EQ(CurrentEventY(), 480);
    EXPECT_EQ(TakeEvent(), WindowClose);
    EXPECT_EQ(TakeEvent(), 0);
}

TEST_F(EventQueueTest, The257thEventIsLostUntilOneIsTaken) {
    for (int i = 0; i < EVENT_RING_SIZE; ++i) EmitNewEvent(KeyDown, first, i);
    EmitNewEvent(KeyDown, first, 256);
    EXPECT_EQ(QueuedEventCount(), 256);
    ASSERT_EQ(TakeEvent(), KeyDown);
    EXPECT_EQ(CurrentEventData(), 0);
    EmitNewEvent(KeyDown, first, 257);
    int last = -1;
    while (TakeEvent() != 0) last = CurrentEventData();
    EXPECT_EQ(last, 257);
}

TEST_F(EventQueueTest, FullRingStillMergesCoalescedKinds) {
    EmitNewEvent(GadgetAction, first, 1);
    for (int i = 1; i < EVENT_RING_SIZE; ++i) EmitNewEvent(KeyDown, second, i);
    EmitNewEvent(GadgetAction, first, 9);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventData(), 9);
}

TEST_F(EventQueueTest, CountersKeepWorkingPastManyRingTurns) {
    for (int i = 0; i < 10 * EVENT_RING_SIZE + 3; ++i) {
        EmitNewEvent(KeyUp, first, i);
        ASSERT_EQ(TakeEvent(), KeyUp);
        ASSERT_EQ(CurrentEventData(), i);
    }
}

TEST_F(EventQueueTest, PeekLeavesTheEventInPlace) {
    EXPECT_EQ(PeekQueuedEvent(), nullptr);
    EmitNewEvent(KeyChar, first, 65);
    const TEventPtr peeked = PeekQueuedEvent();
    ASSERT_NE(peeked, nullptr);
    EXPECT_EQ(peeked->data, 65);
    EXPECT_EQ(QueuedEventCount(), 1);
    EXPECT_EQ(TakeEvent(), KeyChar);
}

TEST_F(EventQueueTest, TextOfTheCurrentEventAndSourceHandles) {
    EmitNewEvent(WindowAccept, first, 0, 0, 0, 0, std::make_shared<rt::TTextObject>("/a/b"));
    EmitNewEvent(KeyDown, second, 0, 0, 0, 0, std::make_shared<rt::TObject>());
    ASSERT_EQ(TakeEvent(), WindowAccept);
    EXPECT_EQ(CurrentEventText(), "/a/b");
    const int firstHandle = CurrentEventSourceHandle();
    EXPECT_NE(firstHandle, 0);
    EXPECT_EQ(CurrentEventSourceHandle(), firstHandle);
    ASSERT_EQ(TakeEvent(), KeyDown);
    EXPECT_EQ(CurrentEventText(), "");  // extra is no text
    EXPECT_NE(CurrentEventSourceHandle(), firstHandle);
}

TEST_F(EventQueueTest, AwaitEventWaitsForInputFromTheSystem) {
    const TAppWindow app = BuildAppWindow();
    int waits = 0;
    headless::SetWaitHandler([&] {
        ++waits;
        headless::CloseWindow(app.window);
    });
    EXPECT_EQ(AwaitEvent(), WindowClose);
    EXPECT_EQ(waits, 1);
}

TEST_F(EventQueueTest, AwaitWithNothingToWaitForIsReportedNotHung) {
    EXPECT_THROW(AwaitEvent(), std::logic_error);
    // The busy flag is clear again: later polls still reach the system.
    int polls = 0;
    headless::SetPollHandler([&] { ++polls; });
    TakeEvent();
    EXPECT_EQ(polls, 1);
}

TEST_F(EventQueueTest, PollHandlerRunsOnlyWhenTheRingIsEmpty) {
    int polls = 0;
    headless::SetPollHandler([&] { ++polls; });
    EmitNewEvent(KeyDown, first);
    EXPECT_EQ(TakeEvent(), KeyDown);
    EXPECT_EQ(polls, 0);
    EXPECT_EQ(TakeEvent(), 0);
    EXPECT_EQ(polls, 1);
}

TEST_F(EventQueueTest, NestedPumpInsideAPollIsSkipped) {
    int polls = 0;
    headless::SetPollHandler([&] {
        ++polls;
        PumpSystem();
        AwaitSystem();
    });
    PumpSystem();
    EXPECT_EQ(polls, 1);
}

}  // namespace
}  // namespace guitest
