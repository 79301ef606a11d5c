#include "tests/gui/gui_fixture.h"

#include <ostream>

namespace guitest {
namespace {

using namespace gui;

TGadgetPtr Laid(TGadgetPtr gadget, int left, int right, int top, int bottom) {
    LayoutGadget(gadget, left, right, top, bottom);
    return gadget;
}

TGadgetPtr Field(const TGadgetPtr& window, int y) {
    TGadgetPtr field = Laid(MakeTextField(4, y, 200, 24, window), 1, 1, 1, 0);
    FilterGadget(field, [](const TEventPtr&, const rt::TObjectPtr&) { return 0; }, nullptr);
    return field;
}

}  // namespace

TAppWindow BuildAppWindow() {
    TAppWindow app;
    const int W = 480;
    const TGadgetPtr w = app.window = MakeWindow("Tervala_gui v1.4", 50, 50, W, 400, nullptr, 0x22f);
    const TGadgetPtr fileMenu = MakeMenuItem("&File", 0, w);
    app.exitItem = MakeMenuItem("E&xit", 1, fileMenu);
    const TGadgetPtr helpMenu = MakeMenuItem("&Help", 2, w);
    app.aboutItem = MakeMenuItem("&About", 3, helpMenu);

    Laid(MakeLabel("Select dir to monitor", 4, 4, 200, 20, w), 1, 0, 1, 0);
    app.dirField = Field(w, 24);
    app.browse = Laid(MakeButton("Browse...", 204, 24, 75, 24, w, 8), 0, 1, 1, 0);
    Laid(MakeLabel("Save datafile as (optional)", 4, 48, 200, 20, w), 1, 0, 1, 0);
    app.datafileField = Field(w, 68);
    app.datafileSave = Laid(MakeButton("Save as...", 204, 68, 75, 24, w, 8), 0, 1, 1, 0);
    Laid(MakeLabel("Log changes to file (optional)", 4, 92, 200, 20, w), 1, 0, 1, 0);
    app.logField = Field(w, 112);
    app.logSave = Laid(MakeButton("Save as...", 204, 112, 75, 24, w, 8), 0, 1, 1, 0);
    app.md5 = Laid(MakeButton("Calculate md5 checksums", 4, 140, 200, 24, w, 2), 1, 0, 1, 0);
    app.interval = Laid(MakeButton("Interval mode, run every:", 4, 168, 200, 24, w, 2), 1, 0, 1, 0);
    app.intervalField = Laid(MakeTextField(206, 168, 20, 24, w), 1, 0, 1, 0);
    Laid(MakeLabel("minutes", 228, 168, 50, 20, w), 1, 0, 1, 0);
    app.startStop = Laid(MakeButton("Start logging", 4, 194, 125, 24, w, 8), 1, 0, 1, 0);
    app.report = Laid(MakeTextArea(4, 218, W - 8, 124, w, 2), 1, 1, 1, 1);
    app.statusCaption = Laid(MakeLabel("Status: ", 4, 348, 50, 20, w), 2, 2, 0, 1);
    app.status = Laid(MakeLabel("", 58, 348, W - 66, 20, w), 2, 2, 0, 1);
    app.progress = Laid(MakeProgressBar(4, 372, W - 8, 20, w), 1, 1, 0, 1);

    PutGadgetText(app.intervalField, "1");
    DisableGadgetInput(app.startStop);
    RebuildMenuBar(w);
    return app;
}

TRect RectOf(const gui::TGadgetPtr& gadget) {
    return {gadget->GetXPos(), gadget->GetYPos(), gadget->GetWidth(), gadget->GetHeight()};
}

void PrintTo(const TRect& rect, std::ostream* out) {
    *out << "(" << rect.x << ", " << rect.y << ", " << rect.w << ", " << rect.h << ")";
}

}  // namespace guitest
