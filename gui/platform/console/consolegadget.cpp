#include "gui/platform/console/consolegadget.h"

#include "gui/driversupport.h"
#include "gui/platform/console/consoledisplay.h"

namespace gui::console {

TConsoleGadget::TConsoleGadget(int kind, int gadgetStyle, TConsoleDisplay& display)
    : kind_(kind), display_(display) {
    style = gadgetStyle;
}

void TConsoleGadget::SetText(const std::string& text) {
    if (kind_ == GADGET_MENUITEM) {
        name = text;
        return;
    }
    // The report reaches standard output through the application's change observer; an
    // area that kept it would grow for as long as an interval run lasts.
    if (kind_ == GADGET_TEXTAREA) return;
    {
        std::lock_guard<std::mutex> guard(textLock_);
        text_ = text;
    }
    if (kind_ == GADGET_LABEL && created_) display_.ShowStatus(text);
}

std::string TConsoleGadget::GetText() const {
    if (kind_ == GADGET_MENUITEM) return name;
    std::lock_guard<std::mutex> guard(textLock_);
    return text_;
}

void TConsoleGadget::SetStateBit(int bit, bool on) {
    state_ = on ? (state_ | bit) : (state_ & ~bit);
}

void TConsoleGadget::SetEnabled(int enabled) { SetStateBit(STATE_DISABLED, !enabled); }

void TConsoleGadget::SetShow(int show) {
    SetStateBit(STATE_HIDDEN, !show);
    visible = show ? 1 : 0;
}

void TConsoleGadget::SetSelected(int selected) {
    SetStateBit(STATE_SELECTED, selected != 0);
    SetStateBit(STATE_INDETERMINATE, selected == CHECK_INDETERMINATE);
}

void TConsoleGadget::SetValue(float fraction) {
    if (kind_ == GADGET_PROGBAR) display_.ShowProgress(fraction);
}

std::string TConsoleGadget::GetStatusText() const { return statusText_; }

void TConsoleGadget::SetStatusText(const std::string& text) {
    if (kind_ != GADGET_WINDOW || !(style & WINDOW_STATUS)) return;
    statusText_ = text;
    display_.ShowItem(text);
}

TGadgetPtr TConsoleGadget::GetMenu() {
    if (kind_ != GADGET_WINDOW) return nullptr;
    if (!menu_) menu_ = CreateRootMenu(shared_from_this());
    return menu_;
}

}  // namespace gui::console
