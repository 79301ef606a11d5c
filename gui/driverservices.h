#pragma once
// The gadget driver's own services: the mouse pointer's shape and the names of the
// user and the computer.

#include <string>

namespace gui {

// Hands the shape to the driver only when it differs from the last one set.
void SetPointer(int shape);
std::string UserName();
std::string ComputerName();

}  // namespace gui
