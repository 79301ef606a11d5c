#pragma once
// An interrupt ends a wait for change events at once: the interrupt handler raises this
// eventfd, which the wait watches beside its own.

namespace rt::posix {

// -1 until interrupts are caught.
int InterruptWakeDescriptor();

}  // namespace rt::posix
