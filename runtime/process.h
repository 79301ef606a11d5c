#pragma once
// Ending the process at once. Tests and the scenario runner may put their own handler
// in place; it must not return (if it does, the process ends anyway).

#include <functional>

namespace rt {

using EndProcessHandler = std::function<void(int status)>;

[[noreturn]] void EndProcess(int status);
// Installs a handler and gives back the previous one (empty = EndProcessNow).
EndProcessHandler SetEndProcessHandler(EndProcessHandler handler);

// The platform's immediate end, what EndProcess does without a handler: no clean-up, no
// waiting for other threads.
[[noreturn]] void EndProcessNow(int status);

}  // namespace rt
