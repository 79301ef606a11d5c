#include "app/live_report.h"

#include <ctime>
#include <string>

#include "app/application.h"
#include "app/comparison.h"
#include "app/datafile_update.h"
#include "runtime/file_lock.h"
#include "runtime/filesystem.h"
#include "runtime/textfile.h"

namespace app {
namespace {

bool Tell(Application& app, const TLiveLine& line, std::string& logLines) {
    const std::time_t now = std::time(nullptr);
    app.AppendReport(ChangeLine(line.label, line.path, "\n", now));
    if (!app.NotifyChange({line.label, line.path, now})) {
        app.run.Fail();
        return false;
    }
    ++app.run.changecount;
    logLines += ChangeLine(line.label, line.path, "\r\n", std::time(nullptr));
    return true;
}

// Lines no write saved wait, in order, for the next write that succeeds, as a full run's do.
void AppendToLog(Application& app, const std::string& lines) {
    auto& run = app.run;
    const std::string text = run.unwrittenlog + lines;
    if (text.empty()) return;
    if (!run.logchosen) {
        run.unwrittenlog = text;
        return;
    }
    rt::TFileLock::Outcome outcome;
    const auto lock = rt::TFileLock::Acquire(run.logpath, true, FILE_LOCK_TIMEOUT_MS, outcome);
    if (outcome == rt::TFileLock::Outcome::Busy) {
        app.ShowError(Status("Failed to write log file {path} (locked by another program)"),
                      run.logpath);
    } else if (!rt::AppendTextFile(run.logpath, text)) {
        app.ShowError(Status("Failed to write log file {path}"), run.logpath);
    } else {
        run.unwrittenlog.clear();
        return;
    }
    run.unwrittenlog = text;
    run.unwrittenlogpath = rt::AbsolutePath(run.logpath);
}

}  // namespace

bool ReportLiveLines(Application& app, const TLiveLines& lines) {
    std::string logLines;
    for (const auto* part : {&lines.additions, &lines.removals}) {
        for (const TLiveLine& line : *part) {
            if (!Tell(app, line, logLines)) return false;
        }
    }
    AppendToLog(app, logLines);
    return true;
}

}  // namespace app
