#include "runtime/process.h"

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
    EndProcessNow(status);
}

EndProcessHandler SetEndProcessHandler(EndProcessHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace rt
