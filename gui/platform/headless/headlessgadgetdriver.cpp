#include <algorithm>

#include "gui/platform/headless/headlessdrivers.h"
#include "gui/platform/headless/headlessgadget.h"

namespace gui::headless {
namespace {

inline constexpr int DEFAULT_DESKTOP_WIDTH = 1920;
inline constexpr int DEFAULT_DESKTOP_HEIGHT = 1080;

bool KnownKind(int kind) { return kind >= GADGET_DESKTOP && kind <= GADGET_CANVAS; }

}  // namespace

TGadgetPtr THeadlessGadgetDriver::CreateGadget(int kind, const std::string& text, int x, int y,
                                               int w, int h, const TGadgetPtr& group,
                                               int style) {
    if (!KnownKind(kind)) return nullptr;
    if (kind == GADGET_DESKTOP) {
        if (!desktop_) SetDesktopSize(DEFAULT_DESKTOP_WIDTH, DEFAULT_DESKTOP_HEIGHT);
        return desktop_;
    }
    auto gadget = std::make_shared<THeadlessGadget>(kind, style);
    if (kind == GADGET_MENUITEM || kind == GADGET_NODE) {
        gadget->name = text;
        gadget->SetTag(style);
        if (group) gadget->_setparent(group, -1);
        return gadget;
    }
    gadget->SetText(text);
    if (group) gadget->_setparent(group, -1);
    if (kind != GADGET_TOOLBAR) gadget->SetShape(x, y, w, h);
    if (kind == GADGET_WINDOW) {
        if (!group) windows_.push_back(gadget);
        gadget->SetShow((style & WINDOW_HIDDEN) ? 0 : 1);
    } else {
        if (group && (group->State() & STATE_DISABLED)) gadget->SetEnabled(0);
        gadget->SetShow(1);
    }
    return gadget;
}

void THeadlessGadgetDriver::ForgetWindow(const TGadget* window) {
    std::erase_if(windows_, [window](const TGadgetPtr& w) { return w.get() == window; });
}

void THeadlessGadgetDriver::SetDesktopSize(int w, int h) {
    if (!desktop_) desktop_ = std::make_shared<THeadlessGadget>(GADGET_DESKTOP, 0);
    desktop_->SetRect(0, 0, w, h);
}

}  // namespace gui::headless
