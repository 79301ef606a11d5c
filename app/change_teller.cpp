#include "app/change_teller.h"

#include <ctime>

#include "app/application.h"
#include "app/comparison.h"
#include "app/log_marker.h"

namespace app {

TChangeTeller::TChangeTeller(Application& app, std::string& logText)
    : app_(app), owed_(app.owed.get()), logText_(logText) {}

// The log line reads the clock again, as the report line did.
bool TChangeTeller::Tell(const char* label, const std::string& path) {
    auto& run = app_.run;
    const std::uint64_t line = lines_++;
    if (!owed_ || line >= owed_->Shown()) {
        const std::time_t now = std::time(nullptr);
        app_.AppendReport(ChangeLine(label, path, "\n", now));
        if (!app_.NotifyChange({label, path, now})) {
            run.Fail();
            return false;
        }
        ++run.changecount;
        if (owed_) owed_->LineShown();
    }
    const bool owedToLog = owed_ ? line >= owed_->Logged() : run.logchosen;
    if (owedToLog) {
        logText_ += ChangeLine(label, path, "\r\n", std::time(nullptr));
        ++logLines_;
    }
    return true;
}

std::uint64_t TChangeTeller::Written() const {
    return (owed_ ? owed_->Logged() : 0) + logLines_;
}

}  // namespace app
