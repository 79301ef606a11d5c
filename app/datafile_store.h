#pragma once
// The datafile and the working database: opening and loading at Start, preparing the
// two lists at the beginning of each logging run, and saving after each scan.

namespace app {

struct Application;

// The datafile's name at Start: the one Save as... chose, else one derived from `dir`.
void DecideDatafilePath(Application& app);

// Decides `firstrun`, opens the working database and loads the datafile into it unless
// there is none. Failures set `stopped` and `failed`.
void OpenWorkingDatabase(Application& app);

// Creates the two tables on a first run; otherwise rotates `allist` into an emptied
// `lastallist` and empties `allist`. Errors and stop requests end logging.
void PrepareLists(Application& app);

// Commits the scan and copies the whole working database over the datafile. A failed
// save is shown and the logging run goes on to its comparison; false when the marker of
// owed lines could not be written, and neither the save nor the comparison may happen.
bool SaveDatafile(Application& app);

}  // namespace app
