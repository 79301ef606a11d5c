#pragma once
// The datafile and the working database: opening the datafile at Start, preparing the two
// lists at the beginning of each logging run, making the working lists when a run must write
// them, and saving after each scan.

#include <cstdint>

#include "app/flow.h"

namespace db {
class TDBConnection;
}

namespace app {

struct Application;

// The datafile's name at Start: the one Save as... chose, else one derived from `dir`.
void DecideDatafilePath(Application& app);

// Decides `firstrun`. A first run gets a new working database; otherwise the datafile is
// opened for reading its lists, which must both be readable tables. Failures set `stopped`
// and `failed`.
void OpenStoredLists(Application& app);

// The working database with the datafile loaded into it, unless there is one already.
void LoadWorkingLists(Application& app);

// The connection whose lists a run follows: the working database once there is one, else the
// datafile; none on a first run.
db::TDBConnection* FollowedLists(Application& app);
// Whether the datafile, still the file held since it was loaded or saved, holds the working
// lists, or there are none: a run that finds the followed lists as it would write them need
// not write anything then.
bool WorkingListsSaved(const Application& app);

// Creates the two tables on a first run; otherwise counts the followed list for the scan's
// progress.
void PrepareLists(Application& app);

// The scan found a row that the followed list does not hold next, or the run must write:
// the working database is loaded unless there is one, `allist` is rotated into an emptied
// `lastallist` and emptied, and the first `kept` rows, which the scan found unchanged, are
// copied back. Errors and stop requests end logging.
Flow MakeWorkingLists(Application& app, std::int64_t kept);

// Commits the scan and writes the working lists as the datafile: a new file renamed over
// the old one, or, for a datafile that must stay the same file, a copy over it. A failed
// save is shown and the logging run goes on to its comparison; false when the marker of
// owed lines could not be written, and neither the save nor the comparison may happen.
bool SaveDatafile(Application& app);

// The end of a run: working lists the datafile holds now are dropped, and the next run
// follows the datafile; those of a failed save are kept to be compared with next.
void EndRunLists(Application& app);

}  // namespace app
