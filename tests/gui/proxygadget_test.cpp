// Proxy gadgets: what they forward, what they keep, and whose events they report.

#include "gui/proxygadget.h"

#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

class ProxyGadgetTest : public GuiTest {
protected:
    TGadgetPtr window = MakeWindow("w", 0, 0, 300, 200, nullptr, WINDOW_CLIENTCOORDS);
    std::shared_ptr<TProxyGadget> proxy = TProxyGadget::Create();
};

TEST_F(ProxyGadgetTest, TargetEventsAreReportedWithTheProxyAsSource) {
    const TGadgetPtr button = MakeButton("b", 0, 0, 50, 20, window);
    proxy->SetProxy(button);
    hl::Click(button);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventSource(), proxy);

    const TGadgetPtr next = MakeButton("n", 0, 0, 50, 20, window);
    proxy->SetProxy(next);
    hl::Click(button);
    hl::Click(next);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventSource(), button);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventSource(), proxy);
}

TEST_F(ProxyGadgetTest, ForwardsTextStateItemsAndShapeButKeepsItsOwnArea) {
    const TGadgetPtr list = MakeListBox(10, 10, 80, 60, window);
    proxy->SetProxy(list);
    proxy->SetText("text");
    proxy->SetEnabled(0);
    proxy->InsertItem(0, "item");
    proxy->SelectItem(0, SELECT_SET);
    EXPECT_EQ(FetchGadgetText(list), "text");
    EXPECT_TRUE(hl::Inspect(list).state & STATE_DISABLED);
    EXPECT_EQ(hl::ListTextsOf(list), std::vector<std::string>{"item"});
    EXPECT_EQ(proxy->SelectedItem(), 0);
    EXPECT_TRUE(proxy->items.empty());
    EXPECT_EQ(proxy->Class(), GADGET_LISTBOX);

    proxy->SetShape(1, 2, 30, 40);
    EXPECT_EQ(RectOf(list), (TRect{1, 2, 30, 40}));
    proxy->SetArea(5, 5, 5, 5);
    EXPECT_EQ(RectOf(list), (TRect{1, 2, 30, 40}));
    EXPECT_EQ(proxy->xpos, 5);
}

TEST_F(ProxyGadgetTest, StatusTextGoesToTheTargetButReadsEmpty) {
    const TGadgetPtr bar = MakeWindow("s", 0, 0, 100, 100, nullptr, WINDOW_STATUS);
    proxy->SetProxy(bar);
    proxy->SetStatus("busy");
    EXPECT_EQ(hl::StatusBarTextOf(bar), "busy");
    EXPECT_EQ(proxy->GetStatusText(), "");
}

TEST_F(ProxyGadgetTest, AProxyStandingForNothingChangesNothing) {
    const auto other = TProxyGadget::Create();
    proxy->InsertItem(0, "lost");
    proxy->SetShape(1, 1, 1, 1);
    EXPECT_EQ(other->ItemCount(), 0);
    EXPECT_EQ(other->GetWidth(), 0);
    EXPECT_EQ(proxy->GetProxy(), TProxyGadget::NullGadget());
    EXPECT_EQ(ResolveGroup(proxy), nullptr);
}

TEST_F(ProxyGadgetTest, GadgetsMadeInAProxyGoToTheGadgetItStandsFor) {
    const TGadgetPtr panel = MakePanel(0, 0, 100, 100, window);
    const auto outer = TProxyGadget::Create();
    proxy->SetProxy(panel);
    outer->SetProxy(proxy);
    EXPECT_EQ(ResolveGroup(outer), panel);
    const TGadgetPtr label = MakeLabel("in", 0, 0, 10, 10, outer);
    EXPECT_EQ(label->GetGroup(), panel);
}

TEST_F(ProxyGadgetTest, AProxyCannotStandForItself) {
    const auto outer = TProxyGadget::Create();
    outer->SetProxy(proxy);
    proxy->SetProxy(outer);
    proxy->SetProxy(proxy);
    EXPECT_EQ(proxy->GetProxy(), TProxyGadget::NullGadget());
    EXPECT_EQ(ResolveGroup(outer), nullptr);
}

TEST_F(ProxyGadgetTest, DiscardingAProxyFreesItsTarget) {
    const TGadgetPtr label = MakeLabel("l", 0, 0, 10, 10, window);
    proxy->SetProxy(label);
    DiscardGadget(proxy);
    EXPECT_EQ(label->GetGroup(), nullptr);
    EXPECT_TRUE(static_cast<hl::THeadlessGadget&>(*label).IsFreed());
}

}  // namespace
}  // namespace guitest
