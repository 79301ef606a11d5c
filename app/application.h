#pragma once
// The program's state: the main window, the run variables and the working database of the
// logging in progress, with what logging shows in the window. Logging reaches the window
// through these calls alone.

#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/report_observer.h"
#include "app/run_variables.h"
#include "app/status_texts.h"

namespace db {
class TDBSQLite;
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

struct Application {
    MainWindow gadgets;
    RunVariables run;
    // The working database of the logging in progress, made when a run first writes its
    // lists; whether the datafile holds what it holds (the last save succeeded).
    std::shared_ptr<db::TDBSQLite> tdb;
    bool workingsaved = false;
    // The datafile, read by the runs that find the lists they would write already stored.
    std::shared_ptr<db::TDBSQLite> stored;
    // Told of every change line and error besides the window; null for the window.
    ReportObserver* observer = nullptr;

    // The window as logging or as idle: the Start/Stop button's text and the input gadgets.
    void ShowLogging(bool logging);
    // The interval field's text, read at Start.
    std::string IntervalText() const;

    // A text of the status label's list, its part in braces filled in.
    void ShowStatus(StatusText text, std::string_view part = {}) const;
    void ShowStatusBar(const std::string& text) const;
    // done / total on the progress bar; empty while there is nothing to measure against.
    void ShowProgress(float done, float total) const;
    // The whole report, and one more line of it.
    void ShowReport(const std::string& text) const;
    void AppendReport(const std::string& line) const;
    // A change line appended to the report, for the observer.
    void NotifyChange(const ReportedChange& change) const;

    // An error the run goes on after: it stays until the run's end instead of "complete".
    void ShowError(StatusText text, std::string_view part = {});
    // An error that ends logging: its text stays.
    void EndWithError(StatusText text, std::string_view part = {});
};

}  // namespace app
