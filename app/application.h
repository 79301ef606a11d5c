#pragma once
// The program's state: the main window, the run variables and the working database of the
// logging in progress, with what logging shows in the window. Logging reaches the window
// through these calls alone.

#include <cstdint>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/report_observer.h"
#include "app/run_variables.h"
#include "app/status_texts.h"

namespace db {
class TDBSQLite;
}
namespace rt {
class TFileLock;
}

namespace app {

// The status texts of a datafile the lists cannot be read from or written to: the first
// when loading or rotating fails, the second when a logging run's own list does.
inline constexpr StatusText OLD_DATAFILE_ERROR =
    Status("Datafile ERROR! (Please delete old datafile prior to v1.3)");
inline constexpr StatusText OLD_DATAFILES_ERROR =
    Status("Datafile ERROR! (Please delete old datafiles prior to v1.3)");
// Another program kept the datafile locked while the load waited: the file is good and
// must not be deleted.
inline constexpr StatusText DATAFILE_LOCKED_ERROR =
    Status("Datafile ERROR! Datafile is locked by another program");
// How long a run waits for another program's hold on the datafile or the log file: as
// long as the database layer waits for a busy datafile.
inline constexpr std::uint32_t FILE_LOCK_TIMEOUT_MS = 3000;

class TOwedLines;
class TLiveLogging;

struct Application {
    MainWindow gadgets;
    RunVariables run;
    // The lists of a run that writes them, made at its first difference from the stored
    // lists; kept past the run only when its save failed, as the lists to compare with next.
    std::shared_ptr<db::TDBSQLite> tdb;
    bool workingsaved = false;
    // The datafile, only read: the scan follows its lists while it finds them unchanged.
    std::shared_ptr<db::TDBSQLite> stored;
    // The datafile held against other programs' logging, from its load to the end of
    // logging.
    std::shared_ptr<rt::TFileLock> datafileLock;
    // The marker of the save whose lines are being reported; null between comparisons.
    std::shared_ptr<TOwedLines> owed;
    // What --watch keeps between runs: the watch and the tree as it is now; null otherwise.
    std::shared_ptr<TLiveLogging> live;
    // Told of every change line and error besides the window; null for the window.
    ReportObserver* observer = nullptr;

    // The window as logging or as idle: the Start/Stop button's text and the input gadgets.
    void ShowLogging(bool logging);
    // The interval field's text, read at Start.
    std::string IntervalText() const;

    // A text of the status label's list, its parts in braces filled in.
    void ShowStatus(StatusText text, std::string_view part = {},
                    std::string_view second = {}) const;
    void ShowStatusBar(const std::string& text) const;
    // done / total on the progress bar; empty while there is nothing to measure against.
    void ShowProgress(float done, float total) const;
    // The whole report, and one more line of it.
    void ShowReport(const std::string& text) const;
    void AppendReport(const std::string& line) const;
    // A change line appended to the report, for the observer: false when the observer
    // could not deliver it (it has said why).
    bool NotifyChange(const ReportedChange& change) const;
    // An error text shown in the status label, for the observer.
    void NotifyError(const std::string& text) const;
    // A notice for the observer alone; the window, which does not watch, shows none.
    void ShowNotice(const std::string& text) const;

    // The logging run's changes told outside the window while the user works elsewhere
    // (no window of the program is active): one desktop notification and the window's
    // request for attention. Nothing for a run without changes.
    void ShowChangesOutsideWindow() const;

    // An error the run goes on after: it stays until the run's end instead of "complete".
    void ShowError(StatusText text, std::string_view part = {}, std::string_view second = {});
    // An error that ends logging: its text stays.
    void EndWithError(StatusText text, std::string_view part = {}, std::string_view second = {});
};

}  // namespace app
