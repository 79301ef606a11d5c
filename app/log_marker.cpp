#include "app/log_marker.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>

#include "app/application.h"
#include "app/comparison.h"
#include "app/datafile_store.h"
#include "app/datafile_update.h"
#include "app/entry_lists.h"
#include "app/live_report.h"
#include "database/sqlite/sqlite.h"
#include "runtime/filesystem.h"
#include "runtime/stream.h"
#include "runtime/textfile.h"

namespace app {
namespace {

constexpr std::uint64_t ALL_LINES = std::numeric_limits<std::uint64_t>::max();
constexpr const char* MARKER_FORMAT = "tervala owed lines 3\n";
// The release before: the log's unwritten lines to the end, and no live run's lines.
constexpr const char* MARKER_FORMAT_2 = "tervala owed lines 2\n";
// A live run's save is named by the datafile's run stamp of its transaction: a fingerprint
// of the whole list would cost a pass over it for each burst.
constexpr const char* LIVE_SAVE = "live ";
// A live run's labels, by their place here.
constexpr const char* LIVE_LABELS[] = {LABEL_NEW_FILE, LABEL_NEW_DIR, LABEL_CHANGED,
                                       LABEL_REMOVED_FILE, LABEL_REMOVED_DIR};
// The counts are written in place, each as 20 digits and the stamp padded to this width.
constexpr std::size_t COUNT_WIDTH = 20;
constexpr std::size_t STAMP_WIDTH = 200;

struct LogMarker {
    // The save whose lines are owed: a full run's by the fingerprint of its list, a live
    // run's by LIVE_SAVE and its run stamp; empty when no save's lines are.
    std::string fingerprint;
    std::uint64_t shown = 0;
    // ALL_LINES when the save's lines are owed to no log.
    std::uint64_t logged = ALL_LINES;
    // The log write in flight: it holds the first `pending` lines once the log is no
    // longer as `stamp` says; no write is in flight while the stamp is empty.
    std::uint64_t pending = 0;
    std::string stamp;
    // The log the lines are owed to, absolute; empty when none.
    std::string logPath;
    // Lines that earlier log writes could not save, owed before the save's.
    std::string unwritten;
    // A live run's lines, as the marker holds them, and as read.
    std::string liveBytes;
    TLiveLines live;
};

std::string Count(std::uint64_t count) {
    char digits[COUNT_WIDTH + 1];
    std::snprintf(digits, sizeof digits, "%020llu", static_cast<unsigned long long>(count));
    return digits;
}

std::string Counts(std::uint64_t shown, std::uint64_t logged, std::uint64_t pending,
                   const std::string& stamp) {
    std::string padded = stamp;
    padded.resize(STAMP_WIDTH, ' ');
    return Count(shown) + '\n' + Count(logged) + '\n' + Count(pending) + '\n' + padded + '\n';
}

std::size_t CountsAt(const std::string& fingerprint) {
    return std::string_view(MARKER_FORMAT).size() + fingerprint.size() + 1;
}

// Bytes that may hold any byte, by their length: the length, a line end, the bytes and a
// line end.
std::string Field(std::string_view bytes) {
    return std::to_string(bytes.size()) + '\n' + std::string(bytes) + '\n';
}

// Each line a field: its label's place in LIVE_LABELS, then its path.
std::string LiveLineBytes(const TLiveLines& lines) {
    std::string bytes;
    for (const auto* part : {&lines.additions, &lines.removals}) {
        for (const TLiveLine& line : *part) {
            // By their text: a label's pointer may differ from one file of the program to
            // another, as the compiler need not merge equal literals.
            const auto label =
                std::find_if(std::begin(LIVE_LABELS), std::end(LIVE_LABELS),
                             [&](const char* known) { return std::string_view(known) == line.label; });
            bytes += Field(char('0' + (label - std::begin(LIVE_LABELS))) + line.path);
        }
    }
    return bytes;
}

// The format line, the save's name, the counts and the stamp, the log path, the unwritten
// lines, then a live run's lines to the end.
std::string MarkerBytes(const LogMarker& marker) {
    return MARKER_FORMAT + marker.fingerprint + '\n' +
           Counts(marker.shown, marker.logged, marker.pending, marker.stamp) +
           Field(marker.logPath) + Field(marker.unwritten) + marker.liveBytes;
}

class MarkerReader {
public:
    explicit MarkerReader(const std::string& bytes) : bytes_(bytes) {}

    bool Line(std::string& into) {
        const std::size_t end = bytes_.find('\n', at_);
        if (end == std::string::npos) return false;
        into = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }

    bool Number(std::uint64_t& into) {
        std::string digits;
        if (!Line(digits) || digits.empty() || digits.size() > COUNT_WIDTH ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        into = std::stoull(digits);
        return true;
    }

    bool Field(std::string& into) {
        std::uint64_t length = 0;
        if (!Number(length) || length >= bytes_.size() - at_ || bytes_[at_ + length] != '\n') {
            return false;
        }
        into = bytes_.substr(at_, length);
        at_ += length + 1;
        return true;
    }

    bool AtEnd() const { return at_ == bytes_.size(); }
    std::string Rest() const { return bytes_.substr(at_); }

    // The log path, and the unwritten lines: to the end before format 3.
    bool PathAndUnwritten(LogMarker& marker, bool toEnd) {
        if (!Field(marker.logPath)) return false;
        if (!toEnd) return Field(marker.unwritten);
        marker.unwritten = Rest();
        at_ = bytes_.size();
        return true;
    }

    // A live run's lines, to the end.
    bool LiveLines(LogMarker& marker) {
        marker.liveBytes = Rest();
        std::string line;
        while (!AtEnd()) {
            if (!Field(line) || line.empty()) return false;
            const unsigned label = static_cast<unsigned char>(line[0]) - unsigned('0');
            if (label >= std::size(LIVE_LABELS)) return false;
            marker.live.additions.push_back({LIVE_LABELS[label], line.substr(1), 0});
        }
        return true;
    }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

std::optional<LogMarker> ParseMarker(const std::string& bytes) {
    LogMarker marker;
    MarkerReader reader(bytes);
    std::string format;
    if (!reader.Line(format)) return std::nullopt;
    if (format + '\n' != MARKER_FORMAT && format + '\n' != MARKER_FORMAT_2) {
        // The marker of an earlier release: a fingerprint, the log's stamp, then the rest.
        // Its lines reached no sink but a log written since.
        marker.fingerprint = format;
        marker.logged = 0;
        marker.pending = ALL_LINES;
        if (!reader.Line(marker.stamp) || !reader.PathAndUnwritten(marker, true)) return std::nullopt;
        return marker;
    }
    const bool format2 = format + '\n' == MARKER_FORMAT_2;
    if (!reader.Line(marker.fingerprint) || !reader.Number(marker.shown) ||
        !reader.Number(marker.logged) || !reader.Number(marker.pending) ||
        !reader.Line(marker.stamp) || !reader.PathAndUnwritten(marker, format2) ||
        !reader.LiveLines(marker)) {
        return std::nullopt;
    }
    while (!marker.stamp.empty() && marker.stamp.back() == ' ') marker.stamp.pop_back();
    return marker;
}

enum class MarkerRead { None, Read, Unreadable };

// Only the system's "nothing is there" means no marker: one that cannot be examined may
// hold owed lines.
MarkerRead ReadMarker(const std::string& path, LogMarker& marker) {
    const rt::EntryStatus status = rt::QueryPath(path);
    if (status.Absent()) return MarkerRead::None;
    if (!status.Answered()) return MarkerRead::Unreadable;
    std::string bytes;
    if (!rt::ReadFileBytes(path, bytes)) return MarkerRead::Unreadable;
    const auto parsed = ParseMarker(bytes);
    if (!parsed) return MarkerRead::Unreadable;
    marker = *parsed;
    return MarkerRead::Read;
}

// Only a regular file is a marker: anything else planted there is refused, never waited on.
bool WriteMarker(const std::string& path, const LogMarker& marker) {
    if (rt::PathExists(path) && rt::EntryType(path) != rt::ENTRY_FILE) return false;
    return rt::ReplaceFileContents(path, MarkerBytes(marker));
}

bool ShowMarkerWritten(Application& app, const LogMarker& marker) {
    const std::string path = LogMarkerPath(app.run.datafilepath);
    if (WriteMarker(path, marker)) return true;
    app.ShowError(Status("Failed to write marker file {path}"), path);
    return false;
}

// Lines owed to a log that the run did not choose go to the one it chose, or wait for one.
void ShowWhereOwedLinesGo(Application& app, const std::string& owedTo) {
    const auto& run = app.run;
    if (owedTo.empty() || (run.logchosen && rt::SameFile(owedTo, run.logpath))) return;
    if (run.logchosen) {
        app.ShowStatus(Status("Change lines owed to another log file are written to {path}"),
                       run.logpath);
    } else {
        app.ShowStatus(Status("Change lines owed to log file {path} are kept until a log file is chosen"),
                       owedTo);
    }
}

// The log of a run that keeps one, by a name that stays right when the directory changes.
std::string ChosenLog(const RunVariables& run) {
    return run.logchosen ? rt::AbsolutePath(run.logpath) : std::string();
}

}  // namespace

std::string LogMarkerPath(const std::string& datafilepath) { return datafilepath + "-unlogged"; }

TOwedLines::TOwedLines(std::unique_ptr<rt::TPatchStream> file, std::string fingerprint,
                       std::string liveBytes, std::uint64_t shown, std::uint64_t logged)
    : file_(std::move(file)), fingerprint_(std::move(fingerprint)),
      liveBytes_(std::move(liveBytes)), shown_(shown), logged_(logged), pending_(logged) {}

TOwedLines::~TOwedLines() = default;

// The shown count alone, which comes first: the other fields stand as written last.
void TOwedLines::LineShown() {
    ++shown_;
    file_->WriteAt(static_cast<std::int64_t>(CountsAt(fingerprint_)), Count(shown_));
}

void TOwedLines::LogWriting(std::uint64_t lines, const std::string& stamp) {
    pending_ = lines;
    stamp_ = stamp;
    WriteCounts();
}

void TOwedLines::LogWritten() {
    logged_ = pending_;
    stamp_.clear();
}

void TOwedLines::LogKept(std::uint64_t lines) {
    LogWriting(lines, "");
    LogWritten();
}

// A count that does not reach the file leaves the older one, which owes more lines; a
// kill then repeats them rather than losing them.
void TOwedLines::WriteCounts() {
    file_->WriteAt(static_cast<std::int64_t>(CountsAt(fingerprint_)),
                   Counts(shown_, logged_, pending_, stamp_));
}

namespace {

// The marker of a save about to commit, and the counts of its lines from now on.
bool MarkUnreported(Application& app, std::string fingerprint, std::string liveBytes) {
    auto& run = app.run;
    LogMarker marker;
    marker.fingerprint = std::move(fingerprint);
    marker.liveBytes = std::move(liveBytes);
    marker.logged = run.logchosen ? 0 : ALL_LINES;
    marker.pending = marker.logged;
    marker.logPath = run.logchosen ? ChosenLog(run) : run.unwrittenlogpath;
    marker.unwritten = run.unwrittenlog;
    if (!ShowMarkerWritten(app, marker)) return false;
    auto file = rt::TPatchStream::Open(LogMarkerPath(run.datafilepath));
    if (!file) {
        app.ShowError(Status("Failed to write marker file {path}"), LogMarkerPath(run.datafilepath));
        return false;
    }
    app.owed = std::make_shared<TOwedLines>(std::move(file), std::move(marker.fingerprint),
                                            std::move(marker.liveBytes), 0, marker.logged);
    return true;
}

// Whether the save the marker names is the one the datafile holds now.
bool SaveCommitted(Application& app, const std::string& fingerprint) {
    if (app.run.firstrun || fingerprint.empty()) return false;
    db::TDBConnection& followed = *FollowedLists(app);
    if (fingerprint.starts_with(LIVE_SAVE)) {
        return fingerprint == LIVE_SAVE + std::to_string(SavedRunStamp(followed));
    }
    return fingerprint == TEntryLists(followed).CurrentFingerprint();
}

}  // namespace

bool MarkSaveUnreported(Application& app) {
    app.owed.reset();
    if (app.run.datafilepath.empty()) return true;
    return MarkUnreported(app, TEntryLists(*app.tdb).CurrentFingerprint(), {});
}

bool MarkLiveRunUnreported(Application& app, const TLiveLines& lines) {
    app.owed.reset();
    const bool anyLine = !lines.additions.empty() || !lines.removals.empty();
    if (!anyLine && app.run.unwrittenlog.empty()) return true;
    // Without lines the marker holds the log's unwritten ones alone.
    return MarkUnreported(app, anyLine ? LIVE_SAVE + std::to_string(lines.stamp) : std::string(),
                          LiveLineBytes(lines));
}

void SettleLogMarker(Application& app, bool complete) {
    const auto& run = app.run;
    const std::shared_ptr<TOwedLines> owed = std::move(app.owed);
    // Without a marker of the save there is none to settle.
    if (!owed) return;
    if (complete && run.unwrittenlog.empty()) {
        rt::RemoveFile(LogMarkerPath(run.datafilepath));
        return;
    }
    LogMarker marker;
    if (!complete) {
        // The next start repeats this save's comparison.
        marker.fingerprint = owed->Fingerprint();
        marker.liveBytes = owed->LiveBytes();
        marker.shown = owed->Shown();
        marker.logged = owed->Logged();
        marker.pending = marker.logged;
    }
    marker.logPath = run.unwrittenlog.empty() ? ChosenLog(run) : run.unwrittenlogpath;
    marker.unwritten = run.unwrittenlog;
    ShowMarkerWritten(app, marker);
}

void WriteOwedLines(Application& app) {
    auto& run = app.run;
    const std::string path = LogMarkerPath(run.datafilepath);
    LogMarker marker;
    switch (ReadMarker(path, marker)) {
        case MarkerRead::None: return;
        case MarkerRead::Unreadable:
            app.EndWithError(Status("Failed to read marker file {path}"), path);
            return;
        case MarkerRead::Read: break;
    }
    // A write in flight landed when the log is no longer as it was before it.
    const bool writeLanded = !marker.stamp.empty() && rt::FileStamp(marker.logPath) != marker.stamp;
    if (writeLanded) {
        marker.logged = marker.pending;
        marker.unwritten.clear();
    }
    run.unwrittenlog = marker.unwritten;
    run.unwrittenlogpath = marker.logPath;
    const bool saveCommitted = SaveCommitted(app, marker.fingerprint);
    const bool logOwed = !run.unwrittenlog.empty() || (saveCommitted && marker.logged != ALL_LINES);
    if (logOwed) ShowWhereOwedLinesGo(app, marker.logPath);
    if (!saveCommitted) return;
    auto file = rt::TPatchStream::Open(path);
    if (!file) {
        app.EndWithError(Status("Failed to write marker file {path}"), path);
        return;
    }
    app.owed = std::make_shared<TOwedLines>(std::move(file), marker.fingerprint,
                                            std::move(marker.liveBytes), marker.shown,
                                            marker.logged);
    bool complete = false;
    if (marker.fingerprint.starts_with(LIVE_SAVE)) {
        complete = ReportLiveLines(app, marker.live);
    } else {
        // The stored lists are that save's: their comparison gives its lines again.
        LoadWorkingLists(app);
        if (run.stopped) return;
        complete = CompareLists(app);
    }
    run.EndOwedLines();
    SettleLogMarker(app, complete);
}

}  // namespace app
