#include "app/log_marker.h"

#include <optional>

#include "app/application.h"
#include "app/comparison.h"
#include "app/datafile_store.h"
#include "app/entry_lists.h"
#include "database/sqlite/sqlite.h"
#include "runtime/filesystem.h"
#include "runtime/textfile.h"

namespace app {
namespace {

struct LogMarker {
    // Of the saved list whose lines are owed; empty when no save's lines are.
    std::string fingerprint;
    // The log file as the marker found it: once it differs, the log was written since.
    std::string logStamp;
    std::string logPath;
    // Lines that earlier writes could not save, owed before the save's.
    std::string unwritten;
};

// Three lines (fingerprint, stamp, the log path's length), the log path and a line end,
// then the owed lines to the end: a path or a line may hold any byte.
std::string MarkerBytes(const LogMarker& marker) {
    return marker.fingerprint + '\n' + marker.logStamp + '\n' +
           std::to_string(marker.logPath.size()) + '\n' + marker.logPath + '\n' + marker.unwritten;
}

std::optional<LogMarker> ParseMarker(const std::string& bytes) {
    LogMarker marker;
    std::size_t at = 0;
    const auto line = [&bytes, &at](std::string& into) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) return false;
        into = bytes.substr(at, end - at);
        at = end + 1;
        return true;
    };
    std::string length;
    if (!line(marker.fingerprint) || !line(marker.logStamp) || !line(length) || length.empty() ||
        length.size() > 9 || length.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const std::size_t pathEnd = at + std::stoul(length);
    if (pathEnd >= bytes.size() || bytes[pathEnd] != '\n') return std::nullopt;
    marker.logPath = bytes.substr(at, pathEnd - at);
    marker.unwritten = bytes.substr(pathEnd + 1);
    return marker;
}

// A marker that cannot be read is no marker.
std::optional<LogMarker> ReadMarker(const std::string& path) {
    std::string bytes;
    if (!rt::PathExists(path) || !rt::ReadFileBytes(path, bytes)) return std::nullopt;
    return ParseMarker(bytes);
}

void WriteMarker(const RunVariables& run, const std::string& fingerprint) {
    rt::ReplaceFileContents(LogMarkerPath(run.datafilepath),
                            MarkerBytes({fingerprint, rt::FileStamp(run.logpath), run.logpath,
                                         run.unwrittenlog}));
}

}  // namespace

std::string LogMarkerPath(const std::string& datafilepath) { return datafilepath + "-unlogged"; }

void MarkSaveUnlogged(Application& app) {
    if (app.run.datafilepath.empty()) return;
    WriteMarker(app.run, TEntryLists(*app.tdb).CurrentFingerprint());
}

void SettleLogMarker(Application& app) {
    const auto& run = app.run;
    if (run.unwrittenlog.empty()) {
        rt::RemoveFile(LogMarkerPath(run.datafilepath));
    } else {
        // The save's lines are among the unwritten ones now.
        WriteMarker(run, "");
    }
}

void WriteOwedLines(Application& app) {
    auto& run = app.run;
    const auto marker = ReadMarker(LogMarkerPath(run.datafilepath));
    // A marker of another log file stands until a start with that log, or a save with this
    // one, replaces it.
    if (!marker || !run.logchosen || marker->logPath != run.logpath) return;
    if (rt::FileStamp(run.logpath) != marker->logStamp) {
        // The log was written after the marker: it holds the lines already.
        rt::RemoveFile(LogMarkerPath(run.datafilepath));
        return;
    }
    run.unwrittenlog = marker->unwritten;
    const bool saveCommitted =
        !run.firstrun && !marker->fingerprint.empty() &&
        marker->fingerprint == TEntryLists(*FollowedLists(app)).CurrentFingerprint();
    if (saveCommitted) {
        // The stored lists are that save's: their comparison gives its lines.
        LoadWorkingLists(app);
        if (run.stopped) return;
        CompareLists(app);
        run.EndOwedLines();
    }
    if (!run.failed) SettleLogMarker(app);
}

}  // namespace app
