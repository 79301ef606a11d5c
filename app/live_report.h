#pragma once
// The change lines of one run of --watch, or of one that a kill cut off, told as a full
// run tells them (the report, the front end, the change count; with a marker of owed
// lines, each sink only those it has not had) and added to the end of the log under its
// lock: the log's write grows with the lines, not with the log.

namespace app {

struct Application;
struct TLiveLines;

// False when a front end could not take a line: logging ends, as after a full run's, and
// that line and the rest stay owed.
bool ReportLiveLines(Application& app, const TLiveLines& lines);

}  // namespace app
