#pragma once
// The marker beside the datafile that stands while change lines are owed to the log file.
// The datafile is saved before the comparison writes the log, and the next start compares
// with the saved list: a kill between the two would lose that run's lines for good. The
// marker names the save whose lines are owed (by a fingerprint of its list) and holds the
// lines earlier writes could not save; the start after a kill writes them.

#include <string>

namespace app {

struct Application;

// The marker's name: beside the datafile, and left out by the scan like its journal.
std::string LogMarkerPath(const std::string& datafilepath);

// Before a save that a comparison with a log file follows: its lines are owed from the
// moment the save commits.
void MarkSaveUnlogged(Application& app);

// After the comparison's log write: the marker goes once the log holds every line, and
// otherwise keeps the lines the write could not save.
void SettleLogMarker(Application& app);

// At Start, after the datafile is loaded: when the loaded list is the save the marker
// names and the log is as the marker found it, that save's lines go to the report and the
// log now, before the first run's scan. A marker whose save never committed is dropped.
void WriteOwedLines(Application& app);

}  // namespace app
