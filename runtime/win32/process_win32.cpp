#include "runtime/process.h"

#include <windows.h>

namespace rt {

// TerminateProcess rather than ExitProcess: the latter lets libraries detach, which can
// wait on a lock that a worker thread still holds.
void EndProcessNow(int status) {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    ExitProcess(static_cast<UINT>(status));
}

}  // namespace rt
