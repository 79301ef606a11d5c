#pragma once
// How a program gets its native drivers: at link time. Exactly one driver library
// defines these two functions, and the toolkit calls them once each when its system
// and gadget modules initialise (on first use of any toolkit function).
//
//   tervala           links tervala_gui_gtk       (gui/platform/gtk)
//   tervala.exe       links tervala_gui_win32     (gui/platform/win32)
//   tervala-scenario  links tervala_gui_headless  (gui/platform/headless)
//   tervala-cli       links tervala_gui_console   (gui/platform/console)
//   the test suites   link  tervala_gui_headless
//
// The driver targets are CMake OBJECT libraries so that their definitions always end
// up in the program, even though only the toolkit calls them: link the driver target
// directly into the executable (target_link_libraries(exe PRIVATE tervala_gui_headless)),
// not through another static library.

#include <memory>

#include "gui/gadgetdriver.h"
#include "gui/systemdriver.h"

namespace gui {

std::shared_ptr<TSystemDriver> CreatePlatformSystemDriver();
std::shared_ptr<TGadgetDriver> CreatePlatformGadgetDriver();

}  // namespace gui
