#pragma once
// Ending the process at once. Tests and the scenario runner may put their own handler
// in place; it must not return (if it does, the process ends anyway).

#include <functional>

namespace rt {

using EndProcessHandler = std::function<void(int status)>;

[[noreturn]] void EndProcess(int status);
// Installs a handler and gives back the previous one (empty = std::_Exit).
EndProcessHandler SetEndProcessHandler(EndProcessHandler handler);

}  // namespace rt
