#include "app/live_report.h"

#include <string>

#include "app/application.h"
#include "app/change_teller.h"
#include "app/datafile_update.h"
#include "app/log_marker.h"
#include "runtime/file_lock.h"
#include "runtime/filesystem.h"
#include "runtime/textfile.h"

namespace app {
namespace {

// Lines no write saved wait, in order, for the next write that succeeds, as a full run's
// do. The marker notes the write in flight: once the log is no longer as it was, the
// write has landed.
void AppendToLog(Application& app, const std::string& lines, std::uint64_t written) {
    auto& run = app.run;
    TOwedLines* owed = app.owed.get();
    const std::string text = run.unwrittenlog + lines;
    if (text.empty()) return;
    if (run.logchosen) {
        rt::TFileLock::Outcome outcome;
        const auto lock = rt::TFileLock::Acquire(run.logpath, true, FILE_LOCK_TIMEOUT_MS, outcome);
        if (outcome == rt::TFileLock::Outcome::Busy) {
            app.ShowError(Status("Failed to write log file {path} (locked by another program)"),
                          run.logpath);
        } else {
            if (owed) owed->LogWriting(written, rt::FileStamp(run.logpath));
            if (rt::AppendTextFile(run.logpath, text)) {
                run.unwrittenlog.clear();
                if (owed) owed->LogWritten();
                return;
            }
            app.ShowError(Status("Failed to write log file {path}"), run.logpath);
        }
        run.unwrittenlogpath = rt::AbsolutePath(run.logpath);
    }
    run.unwrittenlog = text;
    if (owed) owed->LogKept(written);
}

}  // namespace

bool ReportLiveLines(Application& app, const TLiveLines& lines) {
    std::string logLines;
    TChangeTeller teller(app, logLines);
    bool told = true;
    for (const auto* part : {&lines.additions, &lines.removals}) {
        for (const TLiveLine& line : *part) {
            told = told && teller.Tell(line.label, line.path);
        }
    }
    // The lines told before a front end failed reach the log too.
    AppendToLog(app, logLines, teller.Written());
    return told;
}

}  // namespace app
