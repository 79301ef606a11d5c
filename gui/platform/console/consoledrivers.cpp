#include "gui/platform/console/consoledrivers.h"

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/platform/console/consolegadget.h"
#include "runtime/clock.h"
#include "runtime/console.h"

namespace gui::console {
namespace {

// A desktop of some size, so that centred windows get ordinary positions.
constexpr int DESKTOP_WIDTH = 1920;
constexpr int DESKTOP_HEIGHT = 1080;
constexpr std::uint32_t WAIT_SLEEP_MS = 25;

// A status text standard error does not take is lost: there is nowhere else to say so.
void WriteToStandardError(std::string_view text) { rt::WriteStandard(rt::StandardStream::Error, text); }

}  // namespace

TConsoleDisplay& Display() {
    static TConsoleDisplay display(WriteToStandardError, rt::Millisecs,
                                   [] { return rt::TerminalColumns(rt::StandardStream::Error); });
    return display;
}

TGadgetPtr TConsoleGadgetDriver::CreateGadget(int kind, const std::string& text, int x, int y,
                                              int w, int h, const TGadgetPtr& group, int style) {
    if (kind < GADGET_DESKTOP || kind > GADGET_CANVAS) return nullptr;
    if (kind == GADGET_DESKTOP) {
        if (!desktop_) {
            desktop_ = std::make_shared<TConsoleGadget>(GADGET_DESKTOP, 0, Display());
            desktop_->SetRect(0, 0, DESKTOP_WIDTH, DESKTOP_HEIGHT);
        }
        return desktop_;
    }
    auto gadget = std::make_shared<TConsoleGadget>(kind, style, Display());
    FinishCreation(gadget, kind, text, x, y, w, h, group, style);
    gadget->EndCreation();
    return gadget;
}

bool TConsoleSystemDriver::PressForInterrupt() {
    if (!rt::TakeInterrupt() || !interruptButton_) return false;
    const TGadgetPtr button = interruptButton_();
    if (!button) return false;
    RaiseGadgetEvent(GadgetAction, button);
    return true;
}

void TConsoleSystemDriver::Poll() { PressForInterrupt(); }

void TConsoleSystemDriver::Wait() {
    while (!PressForInterrupt()) rt::SleepMs(WAIT_SLEEP_MS);
}

}  // namespace gui::console
