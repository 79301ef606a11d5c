// This library is the program's driver: the toolkit's modules ask for it here.

#include "gui/platform/console/console.h"

#include "gui/platform.h"
#include "gui/platform/console/consoledrivers.h"

namespace gui {

std::shared_ptr<TSystemDriver> CreatePlatformSystemDriver() {
    return std::make_shared<console::TConsoleSystemDriver>();
}

std::shared_ptr<TGadgetDriver> CreatePlatformGadgetDriver() {
    return std::make_shared<console::TConsoleGadgetDriver>();
}

namespace console {

void Configure(const TConsoleOptions& options) { Display().Configure(options); }

void PressOnInterrupt(std::function<TGadgetPtr()> button) {
    static_cast<TConsoleSystemDriver&>(CurrentSystemDriver()).PressOnInterrupt(std::move(button));
}

void ClearProgressLine() { Display().ClearProgressLine(); }

}  // namespace console
}  // namespace gui
