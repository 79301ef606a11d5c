#pragma once
// The change lines of one run of --watch, told as a full run tells them (the report, the
// front end, the change count) and added to the end of the log under its lock: the log's
// write grows with the lines, not with the log.

namespace app {

struct Application;
struct TLiveLines;

// False when a front end could not take a line: logging ends, as after a full run's.
bool ReportLiveLines(Application& app, const TLiveLines& lines);

}  // namespace app
