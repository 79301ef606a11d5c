#pragma once
// A clean headless toolkit per test, and the application's main window built the way
// the application builds it.

#include <gtest/gtest.h>

#include "gui/gui.h"
#include "gui/platform/headless/headless.h"

namespace guitest {

class GuiTest : public ::testing::Test {
protected:
    // In the constructor, so that fixtures may build gadgets in their member initialisers.
    GuiTest() { gui::headless::Reset(); }
    void TearDown() override { gui::headless::Reset(); }
};

struct TAppWindow {
    gui::TGadgetPtr window;
    gui::TGadgetPtr dirField, browse;
    gui::TGadgetPtr datafileField, datafileSave;
    gui::TGadgetPtr logField, logSave;
    gui::TGadgetPtr md5, interval, intervalField, startStop;
    gui::TGadgetPtr report, statusCaption, status, progress;
    gui::TGadgetPtr exitItem, aboutItem;
};

// The main window: 480 x 400 client area, centred, with its menu and gadgets.
TAppWindow BuildAppWindow();

struct TRect {
    int x, y, w, h;
    bool operator==(const TRect&) const = default;
};
TRect RectOf(const gui::TGadgetPtr& gadget);
void PrintTo(const TRect& rect, std::ostream* out);

}  // namespace guitest
