#pragma once
// The comparison of the current list with the previous one, and the change report in
// the report area and the log file.

#include <ctime>
#include <string>
#include <string_view>

namespace app {

struct Application;

// Change labels, each with its leading and trailing blank.
inline constexpr const char* LABEL_CHANGED = " - File changed: ";
inline constexpr const char* LABEL_NEW_FILE = " - New file: ";
inline constexpr const char* LABEL_NEW_DIR = " - New dir: ";
inline constexpr const char* LABEL_REMOVED_FILE = " - File removed: ";
inline constexpr const char* LABEL_REMOVED_DIR = " - Dir removed: ";

// "07 Dec 2026 09:05:03" + label + path + lineEnd, at that time in local time, with the
// path's control characters escaped so that the line is one line.
std::string ChangeLine(const char* label, std::string_view path, const char* lineEnd,
                       std::time_t when);

// The text without its carriage returns, as the report area shows a log file.
std::string WithoutCarriageReturns(std::string_view text);

// Reports every difference between `allist` and `lastallist` (additions in the order of
// the current scan, then removals in the order of the previous one) and rewrites the
// log file when one was chosen. With a marker of owed lines, each sink is given only the
// lines it has not had, and the marker counts them. True when every line was reported.
bool CompareLists(Application& app);

}  // namespace app
