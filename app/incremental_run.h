#pragma once
// What one run of --watch finds: the directories a burst of events named, listed again
// and compared with the tree in memory, and each directory new to the tree watched and
// then walked whole, so that nothing made in it before its watch existed is missed.
// Nothing in memory or in the datafile changes here.

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/flow.h"
#include "app/live_list.h"
#include "runtime/named_directories.h"

namespace rt {
class TTreeWatch;
}

namespace app {

struct Application;
class TOwnFiles;

// A directory the events named, and the names they named in it (or all of them).
using TNamedDirectory = rt::TNamedDirectory;

enum class TEntryChange : std::uint8_t { Same, Changed, New };

// A directory as it is now. Its entries carry the ids of those in memory (Same, Changed).
struct TRelisted {
    std::string path;
    TLiveDirectory directory;
    std::vector<TEntryChange> changes;  // beside the entries
};

// An entry of the tree in memory that is gone.
struct TGone {
    std::string path;
    bool directory = false;
    std::int64_t currentId = 0;
    std::int64_t previousId = 0;
};

struct TIncrementalListing {
    // The named directories in the order named, then the new ones breadth first.
    std::vector<TRelisted> relisted;
    // Gone entries, and every entry below a gone directory.
    std::vector<TGone> gone;
    // Directories of the tree in memory that are no longer directories of the tree.
    std::vector<std::string> goneDirectories;
    // A new directory that could not be watched: the text of why, for a full run's notice.
    std::string unwatched;
    bool limitReached = false;
};

// Lists what the events named; Flow::Stop when logging was stopped meanwhile.
Flow ListChanges(Application& app, TLiveList& list, const TOwnFiles& own, rt::TTreeWatch& watch,
                 const std::vector<TNamedDirectory>& named, TIncrementalListing& listing);

}  // namespace app
