// The layout rule, on the application's own window.

#include "tests/gui/gui_fixture.h"

namespace guitest {
namespace {

using namespace gui;
using gui::headless::ResizeClient;

class LayoutTest : public GuiTest {
protected:
    void Resize(int w, int h) {
        ResizeClient(app.window, w, h);
        while (TakeEvent() != 0) {
        }
    }
    TAppWindow app = BuildAppWindow();
};

TEST_F(LayoutTest, WindowIsCentredOnTheDesktopWithItsClientSize) {
    EXPECT_EQ(RectOf(app.window), (TRect{(1920 - 480) / 2, (1080 - 400) / 2, 480, 400}));
    EXPECT_EQ(ClientWidthOf(app.window), 480);
    EXPECT_EQ(ClientHeightOf(app.window), 400);
}

TEST_F(LayoutTest, WideningStretchesFieldsAndKeepsButtonsAtTheRightEdge) {
    Resize(680, 400);
    EXPECT_EQ(RectOf(app.dirField), (TRect{4, 24, 400, 24}));
    EXPECT_EQ(RectOf(app.browse), (TRect{404, 24, 75, 24}));
    EXPECT_EQ(RectOf(app.logSave), (TRect{404, 112, 75, 24}));
    EXPECT_EQ(RectOf(app.md5), (TRect{4, 140, 200, 24}));  // anchored left only
    EXPECT_EQ(RectOf(app.report), (TRect{4, 218, 672, 124}));
}

TEST_F(LayoutTest, StatusLabelsScaleAcrossAndKeepTheirDistanceToTheBottom) {
    Resize(960, 600);
    EXPECT_EQ(RectOf(app.statusCaption), (TRect{8, 548, 100, 20}));
    EXPECT_EQ(RectOf(app.status), (TRect{116, 548, 828, 20}));
    EXPECT_EQ(RectOf(app.progress), (TRect{4, 572, 952, 20}));
    EXPECT_EQ(RectOf(app.report), (TRect{4, 218, 952, 324}));
}

TEST_F(LayoutTest, ShrinkingBelowTheMarginsClampsAndGrowingRestoresExactly) {
    Resize(200, 100);
    EXPECT_EQ(app.dirField->GetWidth(), 0);   // 200 - 276 - 4 would be negative
    EXPECT_EQ(app.report->GetHeight(), 0);
    Resize(481, 401);
    Resize(480, 400);
    EXPECT_EQ(RectOf(app.dirField), (TRect{4, 24, 200, 24}));
    EXPECT_EQ(RectOf(app.browse), (TRect{204, 24, 75, 24}));
    EXPECT_EQ(RectOf(app.status), (TRect{58, 348, 414, 20}));
    EXPECT_EQ(RectOf(app.report), (TRect{4, 218, 472, 124}));
}

TEST_F(LayoutTest, AllZeroCodesKeepSizeAndCentreFraction) {
    const TGadgetPtr label = MakeLabel("centred", 100, 50, 80, 20, app.window);
    LayoutGadget(label, 0, 0, 0, 0);
    Resize(960, 800);
    // centre (140, 60) of 480 x 400 moves to (280, 120)
    EXPECT_EQ(RectOf(label), (TRect{240, 110, 80, 20}));
}

TEST_F(LayoutTest, ResizeReportsTheNewClientSize) {
    ResizeClient(app.window, 700, 500);
    ASSERT_EQ(TakeEvent(), WindowSize);
    EXPECT_EQ(CurrentEventSource(), app.window);
    EXPECT_EQ(CurrentEventX(), 700);
    EXPECT_EQ(CurrentEventY(), 500);
}

TEST_F(LayoutTest, ShapeAfterLayoutBecomesTheNewReference) {
    ShapeGadget(app.dirField, 10, 24, 100, 24);
    Resize(580, 400);
    EXPECT_EQ(RectOf(app.dirField), (TRect{10, 24, 200, 24}));  // codes kept, new reference
}

TEST_F(LayoutTest, ParentOfZeroClientWidthCountsAsOne) {
    const TGadgetPtr panel = MakePanel(0, 0, 0, 0, app.window);
    const TGadgetPtr kid = MakeLabel("kid", 0, 0, 10, 10, panel);
    LayoutGadget(kid, 2, 2, 2, 2);
    EXPECT_EQ(kid->lockcw, 1);
    EXPECT_EQ(kid->lockch, 1);
    ShapeGadget(panel, 0, 0, 3, 5);
    EXPECT_EQ(RectOf(kid), (TRect{0, 0, 30, 50}));
}

TEST_F(LayoutTest, NestedGroupsAreLaidOutFromTheTopDown) {
    const TGadgetPtr panel = MakePanel(0, 0, 480, 100, app.window);
    LayoutGadget(panel, 1, 1, 1, 0);
    const TGadgetPtr kid = MakeButton("kid", 400, 10, 70, 20, panel);
    LayoutGadget(kid, 0, 1, 1, 0);
    Resize(580, 400);
    EXPECT_EQ(RectOf(panel), (TRect{0, 0, 580, 100}));
    EXPECT_EQ(RectOf(kid), (TRect{500, 10, 70, 20}));
}

}  // namespace
}  // namespace guitest
