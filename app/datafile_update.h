#pragma once
// One run of --watch written into the datafile itself, in one transaction whose writes
// grow with the changes: `lastallist` becomes the tree as it was before the run (the last
// run's own difference applied to it), `allist` the tree as it is now. Rows go by id, so
// no index is needed; new rows are appended. The tree in memory follows, ids and all.

#include <cstdint>
#include <string>
#include <vector>

namespace db {
class TDBConnection;
}

namespace app {

class TLiveList;
struct TIncrementalListing;

// A change line of the run, and where the full run's comparison would put it: additions
// and changes by their row in `allist`, removals by theirs in `lastallist`.
struct TLiveLine {
    const char* label;
    std::string path;
    std::int64_t order;
};

struct TLiveLines {
    std::vector<TLiveLine> additions;
    std::vector<TLiveLine> removals;
    // The datafile's run stamp that the run's transaction writes when it has lines.
    std::uint32_t stamp = 0;
};

// Before the run is listed, inside a transaction begun on the datafile: `lastallist` made
// the tree in memory, with the ids of its new rows in memory. False when a statement failed.
bool CatchUpPrevious(db::TDBConnection& datafile, TLiveList& list);

// Then writes the run inside a transaction begun on the datafile (not committed here),
// stamped with a run stamp of its own when it has lines, and brings the tree in memory up to it; false when
// a statement failed, and the tree in memory can no longer be trusted.
bool WriteRun(db::TDBConnection& datafile, TLiveList& list, TIncrementalListing& listing,
              TLiveLines& lines);

// The stamp of the last run saved into the datafile, as it is committed; 0 when it cannot
// be read. A run's marker names its stamp: the run was saved when the datafile holds it.
std::uint32_t SavedRunStamp(db::TDBConnection& datafile);

}  // namespace app
