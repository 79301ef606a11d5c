// Gadget operations: tree, state, text, progress, menus, freeing.

#include "gui/driversupport.h"
#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
namespace hl = gui::headless;

class GadgetTest : public GuiTest {
protected:
    TGadgetPtr window = MakeWindow("w", 10, 20, 300, 200, nullptr, WINDOW_CLIENTCOORDS);
};

TEST_F(GadgetTest, ReadButtonStateOfPushCheckedAndIndeterminateButtons) {
    const TGadgetPtr push = MakeButton("push", 0, 0, 10, 10, window, BUTTON_PUSH);
    const TGadgetPtr box = MakeButton("box", 0, 0, 10, 10, window, BUTTON_CHECKBOX);
    EXPECT_EQ(ReadButtonState(push), 0);
    EXPECT_EQ(ReadButtonState(box), 0);
    box->SetSelected(1);
    EXPECT_EQ(ReadButtonState(box), 1);
    box->SetSelected(CHECK_INDETERMINATE);
    EXPECT_EQ(box->State() & (STATE_SELECTED | STATE_INDETERMINATE),
              STATE_SELECTED | STATE_INDETERMINATE);
    EXPECT_EQ(ReadButtonState(box), -1);
}

TEST_F(GadgetTest, ProgressShowsTruncatedSteps) {
    const TGadgetPtr bar = MakeProgressBar(0, 0, 100, 10, window);
    const std::pair<float, int> cases[] = {
        {0.999f, 99}, {1.0f, 100}, {0.5f, 50}, {0.0f, 0}, {-0.5f, 0}, {7.0f, 100}, {0.0099f, 0}};
    for (const auto& [fraction, steps] : cases) {
        PutProgressValue(bar, fraction);
        EXPECT_EQ(hl::ProgressOf(bar), steps) << fraction;
    }
}

TEST_F(GadgetTest, FreeingAWindowFreesItsWholeSubtree) {
    const TGadgetPtr panel = MakePanel(0, 0, 100, 100, window);
    const TGadgetPtr label = MakeLabel("deep", 0, 0, 10, 10, panel);
    FilterGadget(label, [](const TEventPtr&, const rt::TObjectPtr&) { return 1; },
                 std::make_shared<rt::TObject>());
    label->extra = std::make_shared<rt::TObject>();
    PointerGadgets().hover = label;
    PointerGadgets().captured = panel;
    MakeMenuItem("item", 1, window);

    DiscardGadget(window);
    for (const TGadgetPtr& g : {window, panel, label}) {
        EXPECT_EQ(g->GetGroup(), nullptr);
        EXPECT_TRUE(g->kids.empty());
        EXPECT_TRUE(g->items.empty());
    }
    EXPECT_EQ(label->extra, nullptr);
    EXPECT_FALSE(label->eventfilter);
    EXPECT_EQ(label->context, nullptr);
    EXPECT_EQ(PointerGadgets().hover, nullptr);
    EXPECT_EQ(PointerGadgets().captured, nullptr);
    EXPECT_TRUE(hl::Windows().empty());
}

TEST_F(GadgetTest, AFreedGadgetLeavesItsParent) {
    const TGadgetPtr first = MakeButton("Start logging", 4, 194, 125, 24, window);
    const TGadgetPtr other = MakeLabel("other", 0, 0, 1, 1, window);
    DiscardGadget(first);
    const TGadgetPtr second = MakeButton("Start logging", 4, 194, 125, 24, window);
    EXPECT_EQ(window->kids, (std::vector<TGadgetPtr>{other, second}));
}

TEST_F(GadgetTest, ParentChangeInsertsAtTheIndexOrAppends) {
    const TGadgetPtr a = MakeLabel("a", 0, 0, 1, 1, window);
    const TGadgetPtr b = MakeLabel("b", 0, 0, 1, 1, window);
    const TGadgetPtr c = MakeLabel("c", 0, 0, 1, 1, nullptr);
    c->_setparent(window, 0);
    EXPECT_EQ(window->kids, (std::vector<TGadgetPtr>{c, a, b}));
    c->_setparent(window, 2);
    EXPECT_EQ(window->kids, (std::vector<TGadgetPtr>{a, b, c}));
    a->_setparent(window, 7);
    EXPECT_EQ(window->kids, (std::vector<TGadgetPtr>{b, c, a}));
    b->_setparent(nullptr, -1);
    EXPECT_EQ(window->kids, (std::vector<TGadgetPtr>{c, a}));
    EXPECT_TRUE(window->HasDescendant(a.get()));
    EXPECT_FALSE(window->HasDescendant(b.get()));
    EXPECT_THROW(window->_setparent(a, -1), std::logic_error);
}

TEST_F(GadgetTest, KidsInheritTheirGroupsDisabledState) {
    const TGadgetPtr panel = MakePanel(0, 0, 100, 100, window);
    const TGadgetPtr early = MakeButton("early", 0, 0, 10, 10, panel);
    DisableGadgetInput(panel);
    const TGadgetPtr late = MakeButton("late", 0, 0, 10, 10, panel);
    EXPECT_TRUE(late->State() & STATE_DISABLED);
    EXPECT_FALSE(early->State() & STATE_DISABLED);
    EXPECT_EQ(IsGadgetDisabled(early, 0), 0);
    EXPECT_EQ(IsGadgetDisabled(early, 1), 1);
    EnableGadgetInput(panel);
    EXPECT_EQ(IsGadgetDisabled(early, 1), 0);
}

TEST_F(GadgetTest, TextsOfEachKind) {
    const TGadgetPtr label = MakeLabel("label", 0, 0, 10, 10, window);
    const TGadgetPtr field = MakeTextField(0, 0, 10, 10, window);
    const TGadgetPtr area = MakeTextArea(0, 0, 10, 10, window, TEXTAREA_READONLY);
    EXPECT_EQ(FetchGadgetText(label), "label");
    EXPECT_EQ(FetchGadgetText(field), "");
    PutGadgetText(field, "typed");
    EXPECT_EQ(FetchGadgetText(field), "typed");
    AppendAreaText(area, "one\n");
    AppendAreaText(area, "two \xE2\x82\xAC\n");
    EXPECT_EQ(FetchGadgetText(area), "one\ntwo \xE2\x82\xAC\n");
    EXPECT_EQ(area->GetCursorPos(TEXTAREA_CHARS), 10);  // at the end, in UTF-16 units
    EXPECT_EQ(area->AreaLen(TEXTAREA_CHARS), 10);
    EXPECT_EQ(TakeEvent(), 0);  // text set by the program reports nothing
}

TEST_F(GadgetTest, StatusBarOnlyWhereTheWindowHasOne) {
    const TGadgetPtr withBar =
        MakeWindow("s", 0, 0, 100, 100, nullptr, WINDOW_CLIENTCOORDS | WINDOW_STATUS);
    PutStatusBarText(withBar, "Saving datafile...");
    PutStatusBarText(window, "ignored");
    EXPECT_EQ(hl::StatusBarTextOf(withBar), "Saving datafile...");
    EXPECT_EQ(hl::StatusBarTextOf(window), "");
}

TEST_F(GadgetTest, OuterFrameWindowsHaveASmallerClientArea) {
    const TGadgetPtr framed = MakeWindow("f", 0, 0, 300, 200, nullptr,
                                         WINDOW_TITLEBAR | WINDOW_MENU | WINDOW_STATUS);
    EXPECT_EQ(ClientWidthOf(framed), 300 - 2 * hl::FRAME_BORDER);
    EXPECT_EQ(ClientHeightOf(framed), 200 - 2 * hl::FRAME_BORDER - hl::FRAME_CAPTION -
                                          hl::FRAME_MENUBAR - hl::FRAME_STATUSBAR);
    const TGadgetPtr tiny = MakeWindow("t", 0, 0, 5, 5, nullptr, WINDOW_TITLEBAR);
    EXPECT_EQ(ClientHeightOf(tiny), 0);
}

TEST_F(GadgetTest, CentringInAGroupWindow) {
    const TGadgetPtr child = MakeWindow("c", 0, 0, 101, 51, window, WINDOW_CENTER);
    EXPECT_EQ(child->GetXPos(), 10 + (300 - 101) / 2);
    EXPECT_EQ(child->GetYPos(), 20 + (200 - 51) / 2);
}

TEST_F(GadgetTest, MenuItemsHangUnderTheRootMenuAndShowAfterRebuild) {
    const TGadgetPtr menuWindow =
        MakeWindow("m", 0, 0, 100, 100, nullptr, WINDOW_CLIENTCOORDS | WINDOW_MENU);
    const TGadgetPtr file = MakeMenuItem("&File", 0, menuWindow);
    const TGadgetPtr exit = MakeMenuItem("E&xit", 1, file);
    const TGadgetPtr root = RootMenuOf(menuWindow);
    EXPECT_EQ(root, RootMenuOf(menuWindow));
    EXPECT_EQ(menuWindow->kids.back(), root);
    EXPECT_EQ(root->Class(), GADGET_MENUITEM);
    EXPECT_EQ(file->GetGroup(), root);
    EXPECT_EQ(exit->GetGroup(), file);
    EXPECT_EQ(exit->name, "E&xit");
    EXPECT_TRUE(hl::MenuBarOf(menuWindow).empty());

    RebuildMenuBar(menuWindow);
    const auto bar = hl::MenuBarOf(menuWindow);
    ASSERT_EQ(bar.size(), 1u);
    EXPECT_EQ(bar[0].text, "&File");
    ASSERT_EQ(bar[0].kids.size(), 1u);
    EXPECT_EQ(bar[0].kids[0].tag, 1);
    EXPECT_EQ(hl::FindMenuItem(menuWindow, 1), exit);
}

TEST_F(GadgetTest, RaisedEventsNameTheLastGadgetAlongSourceLinks) {
    const TGadgetPtr proxy = MakePanel(0, 0, 1, 1, window);
    const TGadgetPtr target = MakeButton("t", 0, 0, 1, 1, window);
    target->source = proxy;
    RaiseGadgetEvent(GadgetAction, target, 1);
    ASSERT_EQ(TakeEvent(), GadgetAction);
    EXPECT_EQ(CurrentEventSource(), proxy);
}

TEST_F(GadgetTest, DeferredEventsWaitForTheirRelease) {
    const TGadgetPtr button = MakeButton("b", 0, 0, 1, 1, window);
    DeferGadgetEvent(GadgetSelect, button, 1);
    DeferGadgetEvent(GadgetMenu, button, 2);
    EXPECT_EQ(TakeEvent(), 0);
    ReleaseDeferredEvents();
    EXPECT_EQ(TakeEvent(), GadgetSelect);
    EXPECT_EQ(TakeEvent(), GadgetMenu);
}

}  // namespace
}  // namespace guitest
