#include "app/logging.h"

#include <cstdint>
#include <string>

#include "app/application.h"
#include "app/comparison.h"
#include "app/datafile_store.h"
#include "app/live_logging.h"
#include "app/log_marker.h"
#include "app/poll_step.h"
#include "app/scan.h"
#include "database/sqlite/sqlite.h"
#include "runtime/clock.h"
#include "runtime/convert.h"
#include "runtime/filesystem.h"

namespace app {
namespace {

constexpr std::uint32_t INTERVAL_SLEEP_MS = 25;

void StartLogging(Application& app) {
    app.ShowStatus(Status("Dir log run started"));
    app.ShowLogging(true);
    app.run.minutes = rt::TextToInt(app.IntervalText());
    app.run.BeginLogging(rt::Millisecs());
    OpenStoredLists(app);
    if (!app.run.stopped) WriteOwedLines(app);
}

// Save and compare after a completed scan; a failed save is shown and the run goes on.
void SaveAndCompare(Application& app) {
    auto& run = app.run;
    const bool compare = run.nothingtosave || SaveDatafile(app);
    run.EndScan();
    if (run.firstrun || !compare) return;
    const bool complete = CompareLists(app);
    SettleLogMarker(app, complete);
}

void EndRun(Application& app) {
    auto& run = app.run;
    EndRunLists(app);
    run.EndRun();
    if (!run.stopped && !run.failed && !run.errorshown) {
        app.ShowStatus(Status("Dir log interval run #{n} complete"), std::to_string(run.runnumber));
    }
    app.ShowProgress(1, 1);
    app.ShowStatusBar("");
    app.ShowChangesOutsideWindow();
}

// Sleeps and polls until the next logging run is due or the user stops.
void IntervalWait(Application& app) {
    auto& run = app.run;
    if (run.stopped) {
        run.StopWaiting();
        return;
    }
    const std::int64_t due = std::int64_t(run.runstart) + std::int64_t(run.minutes) * 60000;
    for (;;) {
        const bool nextRunDue = std::int64_t(rt::Millisecs()) > due;
        if (nextRunDue) {
            run.BeginNextRun();
            app.ShowStatus(Status("Dir log interval run #{n} started"), std::to_string(run.runnumber));
        }
        rt::SleepMs(INTERVAL_SLEEP_MS);
        if (PollStep(app) == Flow::Stop) {
            run.StopWaiting();
            return;
        }
        if (nextRunDue) return;
    }
}

void EndLogging(Application& app) {
    const auto& run = app.run;
    if (!run.stopped) {
        if (!run.errorshown) app.ShowStatus(Status("Dir log run complete"));
    } else if (!run.failed) {
        app.ShowStatus(Status("Dir log run aborted"));
    }
    app.ShowLogging(false);
    // An abandoned commit worker may still hold the connection; it closes with its last user.
    app.tdb.reset();
    app.stored.reset();
    app.owed.reset();
    app.datafileLock.reset();
}

}  // namespace

void RunLogging(Application& app) {
    auto& run = app.run;
    DecideDatafilePath(app);
    // The log rewrite would destroy the datafile: Start refuses and writes nothing.
    if (run.logchosen && rt::SameFile(run.logpath, run.datafilepath)) {
        app.EndWithError(Status("Log file and datafile must be different files"));
        return;
    }
    StartLogging(app);
    while (!run.stopped) {
        PrepareLists(app);
        if (run.stopped) break;
        ScanTree(app);
        if (run.stopped) break;
        SaveAndCompare(app);
        EndRun(app);
        if (run.watchmode) {
            WatchForChanges(app);
        } else if (run.intervalmode) {
            IntervalWait(app);
        }
        run.runstart = rt::Millisecs();
        if (app.tdb) app.tdb->startTransaction();
        if (run.lastpass) break;
    }
    EndLogging(app);
}

}  // namespace app
