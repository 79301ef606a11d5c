#include "tools/scenario/headless_host.h"

#include "gui/platform/headless/headless.h"

namespace scenario {

namespace headless = gui::headless;

bool THeadlessHost::HasGadget(std::string_view name) { return finder_(name) != nullptr; }

std::string THeadlessHost::GadgetText(std::string_view name) {
    const gui::TGadgetPtr gadget = finder_(name);
    return gadget ? headless::Inspect(gadget).text : std::string();
}

bool THeadlessHost::GadgetEnabled(std::string_view name) {
    const gui::TGadgetPtr gadget = finder_(name);
    return gadget && headless::Inspect(gadget).enabled;
}

int THeadlessHost::ButtonState(std::string_view name) {
    const gui::TGadgetPtr gadget = finder_(name);
    return gadget ? headless::Inspect(gadget).buttonState : 0;
}

TRect THeadlessHost::GadgetRect(std::string_view name) {
    const gui::TGadgetPtr gadget = finder_(name);
    if (!gadget) return {};
    const headless::TGadgetView view = headless::Inspect(gadget);
    return {view.x, view.y, view.width, view.height};
}

std::string THeadlessHost::StatusBarText() {
    const gui::TGadgetPtr window = finder_("window");
    return window ? headless::StatusBarTextOf(window) : std::string();
}

int THeadlessHost::ProgressSteps() {
    const gui::TGadgetPtr bar = finder_("progress");
    return bar ? headless::ProgressOf(bar) : 0;
}

int THeadlessHost::TakeOpenedUrls() {
    return static_cast<int>(headless::TakeOpenedUrls().size());
}

void THeadlessHost::QueueDirAnswer(const std::string& answer) { headless::QueueDirAnswer(answer); }

void THeadlessHost::QueueFileAnswer(const std::string& answer) {
    headless::QueueFileAnswer(answer);
}

void THeadlessHost::Click(std::string_view name) {
    if (const gui::TGadgetPtr gadget = finder_(name)) headless::Click(gadget);
}

void THeadlessHost::TypeText(std::string_view name, const std::string& text) {
    if (const gui::TGadgetPtr field = finder_(name)) headless::TypeText(field, text);
}

void THeadlessHost::ChooseMenu(int tag) {
    const gui::TGadgetPtr window = finder_("window");
    if (!window) return;
    if (const gui::TGadgetPtr item = headless::FindMenuItem(window, tag)) {
        headless::ChooseMenu(item);
    }
}

void THeadlessHost::CloseWindow() {
    if (const gui::TGadgetPtr window = finder_("window")) headless::CloseWindow(window);
}

void THeadlessHost::ResizeWindow(int width, int height) {
    if (const gui::TGadgetPtr window = finder_("window")) {
        headless::ResizeClient(window, width, height);
    }
}

}  // namespace scenario
