// Hook chains and event descriptions.

#include <string>

#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;

// Each hook appends its context's text to the text object passed along the chain.
rt::TObjectPtr AppendContext(int, rt::TObjectPtr data, rt::TObjectPtr context) {
    static_cast<rt::TTextObject&>(*data).text +=
        static_cast<rt::TTextObject&>(*context).text + " ";
    return data;
}

rt::TObjectPtr DropData(int, rt::TObjectPtr, rt::TObjectPtr) { return nullptr; }

rt::TObjectPtr Text(const char* text) { return std::make_shared<rt::TTextObject>(text); }

std::string RunChain(int id) {
    const rt::TObjectPtr result = CallHooks(id, Text(""));
    return static_cast<rt::TTextObject&>(*result).text;
}

TEST(HookTest, ChainRunsInDescendingPriorityAndInsertionOrderForTies) {
    const int id = NewHookId();
    InsertHook(id, AppendContext, Text("a5"), 5);
    InsertHook(id, AppendContext, Text("b0"), 0);
    InsertHook(id, AppendContext, Text("c5"), 5);
    InsertHook(id, AppendContext, Text("d-10000"), -10000);
    EXPECT_EQ(RunChain(id), "a5 c5 b0 d-10000 ");
}

TEST(HookTest, DeleteNeedsTheSameFunctionAndContext) {
    const int id = NewHookId();
    const rt::TObjectPtr mine = Text("mine");
    InsertHook(id, AppendContext, mine, 0);
    DeleteHook(id, AppendContext, Text("mine"));  // equal text, other object
    EXPECT_EQ(RunChain(id), "mine ");
    DeleteHook(id, AppendContext, mine);
    EXPECT_EQ(RunChain(id), "");
}

TEST(HookTest, AHookMayDropTheObjectForTheHooksAfterIt) {
    const int id = NewHookId();
    InsertHook(id, DropData, nullptr, 1);
    EXPECT_EQ(CallHooks(id, Text("x")), nullptr);
}

TEST(HookTest, HookIdsCountUp) {
    const int a = NewHookId();
    EXPECT_EQ(NewHookId(), a + 1);
}

TEST(EventTest, UserEventsDescribeThemselvesByNumber) {
    const auto event = TEvent::Create(static_cast<int>(0x80000003u), nullptr, 1, 2, 3, 4,
                                      Text("why"));
    EXPECT_EQ(event->ToString(), "UserEvent3: data=1, mods=2, x=3, y=4, extra=\"why\"");
}

TEST(EventTest, KnownAndUnknownIds) {
    EXPECT_EQ(TEvent::Create(GadgetAction, nullptr, 1)->ToString(),
              "GadgetAction: data=1, mods=0, x=0, y=0, extra=\"\"");
    EXPECT_EQ(TEvent::Create(0x4242)->ToString(),
              "Unknown Event, id=16962: data=0, mods=0, x=0, y=0, extra=\"\"");
    InitGui();  // the gadget module registers its drag and drop ids
    EXPECT_EQ(TEvent::DescriptionForId(GadgetDrop), "GadgetDrop");
    EXPECT_EQ(TEvent::DescriptionForId(25), "");  // "257{" must not match id 25
}

TEST(EventTest, NamedUserIdsAreRegistered) {
    const int id = NewUserEventId("Reloaded");
    EXPECT_LT(id, 0);  // top bit set
    EXPECT_EQ(TEvent::DescriptionForId(id), "Reloaded");
    EXPECT_EQ(NewUserEventId(""), id + 1);
}

}  // namespace
}  // namespace guitest
