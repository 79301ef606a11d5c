#include "app/logging.h"

#include <string>

#include "app/application.h"
#include "app/comparison.h"
#include "app/datafile_store.h"
#include "app/main_window.h"
#include "app/poll_step.h"
#include "app/scan.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "runtime/clock.h"
#include "runtime/convert.h"

namespace app {
namespace {

constexpr std::uint32_t INTERVAL_SLEEP_MS = 25;

void StartLogging(Application& app) {
    auto& run = app.run;
    app.ShowStatus("Dir log run started");
    ReplaceStartStopButton(app.gadgets, "Stop logging");
    run.minutes = rt::TextToInt(gui::FetchGadgetText(app.gadgets.intervalField));
    SetInputGadgetsEnabled(app.gadgets, false);
    run.runstart = rt::Millisecs();
    run.runnumber = 1;
    run.stopped = run.failed = run.lastpass = run.scandone = run.firstrun = false;
    run.errorshown = false;
    run.ResetDirs();
    run.logtext.clear();
    run.ResetProgress();
    OpenWorkingDatabase(app);
}

// A stop request ends the waiting and with it the logging.
void StopWaiting(RunVariables& run) {
    run.stopped = true;
    run.lastpass = true;
    run.scandone = true;
    run.ResetDirs();
}

void StartNextRun(Application& app) {
    auto& run = app.run;
    run.scandone = false;
    run.firstrun = false;
    run.ResetDirs();
    run.runnumber += 1;
    app.ShowStatus("Dir log interval run #" + std::to_string(run.runnumber) + " started");
    run.stopped = false;
    run.errorshown = false;
    run.ResetProgress();
    run.logtext.clear();
}

// Sleeps and polls until the next logging run is due or the user stops.
void IntervalWait(Application& app) {
    auto& run = app.run;
    if (run.stopped) {
        StopWaiting(run);
        return;
    }
    const std::int64_t due = std::int64_t(run.runstart) + std::int64_t(run.minutes) * 60000;
    for (;;) {
        const bool nextRunDue = std::int64_t(rt::Millisecs()) > due;
        if (nextRunDue) StartNextRun(app);
        rt::SleepMs(INTERVAL_SLEEP_MS);
        if (PollStep(app) == PollResult::StopRequest) {
            StopWaiting(run);
            return;
        }
        if (nextRunDue) return;
    }
}

// One logging run after the lists are prepared: scan, save, compare, report.
void ScanSaveCompare(Application& app) {
    auto& run = app.run;
    ScanTree(app);
    if (run.stopped) return;
    SaveDatafile(app);
    run.progtotal = run.progtotal * 2 + run.progcur;
    run.scandone = false;
    if (!run.firstrun) CompareLists(app);
    if (!run.intervalmode) run.lastpass = true;
    if (!run.stopped && !run.failed && !run.errorshown) {
        app.ShowStatus("Dir log interval run #" + std::to_string(run.runnumber) + " complete");
    }
    gui::PutProgressValue(app.gadgets.progressBar, 1.0f);
    app.ShowStatusBar("");
    if (run.intervalmode) IntervalWait(app);
    run.runstart = rt::Millisecs();
    app.tdb->startTransaction();
}

void EndLogging(Application& app) {
    const auto& run = app.run;
    if (!run.stopped) {
        if (!run.errorshown) app.ShowStatus("Dir log run complete");
    } else if (!run.failed) {
        app.ShowStatus("Dir log run aborted");
    }
    ReplaceStartStopButton(app.gadgets, "Start logging");
    SetInputGadgetsEnabled(app.gadgets, true);
    // An abandoned commit worker may still hold the connection; it closes with its last user.
    app.tdb.reset();
}

}  // namespace

void RunLogging(Application& app) {
    auto& run = app.run;
    StartLogging(app);
    while (!run.stopped) {
        PrepareLists(app);
        if (run.stopped) break;
        ScanSaveCompare(app);
        if (run.lastpass) break;
    }
    EndLogging(app);
}

}  // namespace app
