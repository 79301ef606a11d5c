// This library is the program's driver: the toolkit's modules ask for it here.

#include "gui/platform.h"

#include "gui/platform/headless/headlessdrivers.h"

namespace gui {

std::shared_ptr<TSystemDriver> CreatePlatformSystemDriver() {
    return std::make_shared<headless::THeadlessSystemDriver>();
}

std::shared_ptr<TGadgetDriver> CreatePlatformGadgetDriver() {
    return std::make_shared<headless::THeadlessGadgetDriver>();
}

}  // namespace gui
