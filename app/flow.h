#pragma once
// Whether a loop of logging goes on or stops. The poll step answers it, and so do the
// worker waits, the scan and the comparison passes, which stop when a poll said so.

namespace app {

enum class Flow { Continue, Stop };

}  // namespace app
