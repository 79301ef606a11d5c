#pragma once
// An interrupt ends a wait for change events at once: the console's handler sets this
// event, which the wait watches beside its own.

#include <windows.h>

namespace rt::win32 {

// Null until interrupts are caught.
HANDLE InterruptWakeEvent();

}  // namespace rt::win32
