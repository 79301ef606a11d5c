#pragma once
// The marker beside the datafile that stands while change lines are owed. The datafile is
// saved before the comparison reports, and the next start compares with the saved list:
// a stop or a kill after the save would lose the lines not yet reported. The marker names
// the save whose lines are owed (a full run's by a fingerprint of its list, a live run's
// by the run stamp its transaction writes, with its lines), how many of them reached the
// report (and standard output) and the log, and holds the lines earlier log writes could
// not save. The next start repeats that save's comparison, or reads the live run's
// lines, and writes each sink only the lines it has not had.

#include <cstdint>
#include <memory>
#include <string>

namespace rt {
class TPatchStream;
}

namespace app {

struct Application;
struct TLiveLines;

// The marker's name: beside the datafile, and left out by the scan like its journal.
std::string LogMarkerPath(const std::string& datafilepath);

// The marker of one save whose lines are being reported; the counts go into the file as
// the lines go out, so that a kill keeps them.
class TOwedLines {
public:
    // The marker file of the save with this fingerprint (and, of a live run, its lines as
    // the marker holds them), and the save's first `shown` and `logged` lines as the
    // report and the log have them.
    TOwedLines(std::unique_ptr<rt::TPatchStream> file, std::string fingerprint,
               std::string liveBytes, std::uint64_t shown, std::uint64_t logged);
    ~TOwedLines();

    const std::string& Fingerprint() const { return fingerprint_; }
    const std::string& LiveBytes() const { return liveBytes_; }
    std::uint64_t Shown() const { return shown_; }
    // The save's lines owed to no log count as logged.
    std::uint64_t Logged() const { return logged_; }
    // One more line reached the report and every front end.
    void LineShown();
    // Under the log's lock, right before a write that holds the save's first `lines`
    // lines: once the log is no longer as `stamp` says, the write has landed.
    void LogWriting(std::uint64_t lines, const std::string& stamp);
    // That write is over, whether it landed or its lines are kept as unwritten.
    void LogWritten();
    // The save's first `lines` lines are kept as unwritten, for a later write: no write is
    // in flight, and the marker's unwritten lines hold them.
    void LogKept(std::uint64_t lines);

private:
    void WriteCounts();

    std::unique_ptr<rt::TPatchStream> file_;
    std::string fingerprint_;
    std::string liveBytes_;
    std::uint64_t shown_;
    std::uint64_t logged_;
    std::uint64_t pending_;
    std::string stamp_;
};

// Before a save that a comparison follows: its lines are owed from the moment the save
// commits. False, with the error shown, when the marker cannot be written: the save must
// not happen then.
bool MarkSaveUnreported(Application& app);

// Before a live run's transaction commits: its lines, and the log's unwritten ones, are
// owed from then on. The marker holds the lines themselves and names the run by the run
// stamp its transaction writes, so that its cost grows with the lines alone. False, with
// the error shown, when the marker cannot be written: the run must not commit then.
bool MarkLiveRunUnreported(Application& app, const TLiveLines& lines);

// After the comparison, or a live run's report (complete: it reported every line): the marker goes once every
// line has reached every sink it is owed to, and otherwise keeps what is still owed.
void SettleLogMarker(Application& app, bool complete);

// At Start, after the datafile is loaded: when the loaded list is the save the marker
// names, that save's comparison runs again (a live run's lines are read from the marker)
// and writes each sink the lines it lacks. Lines
// owed to the log go to the log chosen now, or, without one, stay owed. A marker that
// exists but cannot be read ends logging with an error.
void WriteOwedLines(Application& app);

}  // namespace app
