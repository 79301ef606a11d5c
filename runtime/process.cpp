#include "runtime/process.h"

#include <cstdlib>
#include <utility>

namespace rt {
namespace {
EndProcessHandler& Handler() {
    static EndProcessHandler handler;
    return handler;
}
}  // namespace

void EndProcess(int status) {
    if (Handler()) Handler()(status);
    std::_Exit(status);
}

EndProcessHandler SetEndProcessHandler(EndProcessHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace rt
