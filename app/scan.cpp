#include "app/scan.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/digest_ahead.h"
#include "app/exclusion_rule.h"
#include "app/files_written.h"
#include "app/link_rule.h"
#include "app/log_marker.h"
#include "app/poll_step.h"
#include "app/scan_rows.h"
#include "app/workers.h"
#include "runtime/filesystem.h"
#include "runtime/path.h"

namespace app {
namespace {

// A directory of `dirs`: what it is, and the position of the directory that listed it.
// Following the parents gives the directories on its path from the monitored one.
struct FoundDirectory {
    std::size_t parent;
    rt::FileIdentity identity;
};
constexpr std::size_t NO_PARENT = SIZE_MAX;

// A directory of `dirs` opened and listed, and where its names start among the digests
// ahead; no directory when it cannot be opened.
struct Listing {
    std::shared_ptr<const rt::TDirectory> directory;
    std::shared_ptr<const std::vector<std::string>> names;
    std::size_t firstItem = 0;
};

// Enough queued digests to keep every core busy across small directories, and few open
// directories.
constexpr std::size_t DIGESTS_WAITING = 64;
constexpr std::size_t DIRECTORIES_AHEAD = 16;

class TreeScan {
public:
    explicit TreeScan(Application& app)
        : app_(app), run_(app.run), lists_(app) {}

    void Run() {
        if (!lists_.AddMonitoredDirectory(run_.dir)) {
            if (!run_.stopped) app_.EndWithError(OLD_DATAFILES_ERROR);
            return;
        }
        run_.BeginScan();
        NoteOwnFiles();
        while (!run_.scandone) {
            // A copy: reading the directory appends to `dirs`.
            ReadDirectory(std::string(run_.dirs[run_.dirindex]));
            if (run_.stopped) return;
            if (run_.dirindex + 1 == run_.dirs.size()) run_.scandone = true;
            ++run_.dirindex;
        }
        lists_.Finish();
    }

private:
    // The datafile, its journal, its log marker and the log file change with every run;
    // wherever they lie in the tree, under whatever name, they are left out.
    void NoteOwnFiles() {
        std::vector<std::string> paths;
        if (!run_.datafilepath.empty()) {
            paths = {run_.datafilepath, JournalPath(run_.datafilepath),
                     LogMarkerPath(run_.datafilepath)};
        }
        if (run_.logchosen) paths.push_back(run_.logpath);
        for (const std::string& path : paths) {
            rt::FileIdentity identity;
            if (rt::FileIdentityOf(path, identity)) ownFiles_.push_back(identity);
        }
    }

    bool IsOwnFile(const rt::FileIdentity& identity) const {
        return std::find(ownFiles_.begin(), ownFiles_.end(), identity) != ownFiles_.end();
    }

    void ReadDirectory(const std::string& path) {
        const Listing listing = TakeListing();
        if (!listing.directory) {
            // Without its top directory the scan has nothing to compare: the run ends with
            // the message standing and the datafile untouched.
            if (run_.dirindex == 0) {
                lists_.Rollback();
                app_.EndWithError(Status("Failed To read directory {path}, skipping"), path);
            } else {
                // What lies below stays as it was last seen: nothing there is reported, and
                // the message stays to the end of the run.
                run_.progtotal += float(lists_.KeepPreviousBelow(path));
                app_.ShowError(Status("Failed To read directory {path}, skipping"), path);
            }
            return;
        }
        if (run_.dirindex == 0) found_.assign(1, {NO_PARENT, listing.directory->Identity()});
        const auto& names = *listing.names;
        for (std::size_t position = 0; position < names.size(); ++position) {
            if (AddEntry(listing, path, position) == Flow::Stop || PollStep(app_) == Flow::Stop) {
                Stop();
                break;
            }
        }
    }

    // The listing of the directory at `dirindex`: made ahead, or now.
    Listing TakeListing() {
        if (listed_.empty()) listed_.push_back(List(listedUpTo_++));
        Listing listing = std::move(listed_.front());
        listed_.pop_front();
        ListAhead();
        return listing;
    }

    // In digest mode the directories after the one being read are listed ahead, a few at a
    // time, so that the digests of their files start before the scan gets there.
    void ListAhead() {
        while (run_.md5 && listed_.size() < DIRECTORIES_AHEAD && listedUpTo_ < run_.dirs.size() &&
               ahead_.Waiting() < DIGESTS_WAITING) {
            listed_.push_back(List(listedUpTo_++));
        }
    }

    // The whole listing at once, so that the digests of its files can start early. A
    // listing cut short by an error is no listing: what it left out would count as removed.
    Listing List(std::size_t position) {
        Listing listing;
        const std::shared_ptr<rt::TDirectory> directory = rt::TDirectory::Open(run_.dirs[position]);
        if (!directory) return listing;
        auto names = ListNames(*directory, run_.dirs[position]);
        if (directory->ListingFailed()) return listing;
        listing.directory = directory;
        listing.names = std::move(names);
        if (run_.md5) listing.firstItem = ahead_.Add(listing.directory, *listing.names);
        return listing;
    }

    // A link the scan may not follow and an excluded entry are left out here, like "." and
    // "..", before anything queries, opens or digests them or what they lead to.
    std::shared_ptr<std::vector<std::string>> ListNames(rt::TDirectory& directory,
                                                        const std::string& path) const {
        auto names = std::make_shared<std::vector<std::string>>();
        for (std::string name = directory.NextName(); !name.empty(); name = directory.NextName()) {
            if (name != "." && name != ".." && !Excluded(path, name, false) &&
                links_.Admits(directory, path, name)) {
                names->push_back(std::move(name));
            }
        }
        return names;
    }

    // A pattern for directories alone needs the entry's kind, so it is asked again once the
    // kind is known.
    bool Excluded(const std::string& path, const std::string& name, bool directory) const {
        return !exclusions_.Empty() &&
               exclusions_.Excludes(RelativeEntryPath(run_.dir, path, name), directory);
    }

    // Entries are queried and opened relative to their directory, so depth is no limit.
    Flow AddEntry(const Listing& listing, const std::string& path, std::size_t position) {
        const std::string& name = (*listing.names)[position];
        const rt::EntryStatus entry = listing.directory->Query(name);
        if (!entry.Answered()) {
            SkipUnexamined(rt::JoinEntryPath(path, name));
            return Flow::Continue;
        }
        if (entry.kind == rt::ENTRY_NONE) return Flow::Continue;
        if (entry.kind == rt::ENTRY_FILE && IsOwnFile(entry.identity)) return Flow::Continue;
        if (entry.kind == rt::ENTRY_DIR && Excluded(path, name, true)) return Flow::Continue;
        const std::string entryPath = rt::JoinEntryPath(path, name);
        if (entry.kind == rt::ENTRY_DIR) {
            // A link back to a directory on its own path closes a cycle: its row is
            // stored, but it is not listed again. Any other link is followed.
            if (!IsOwnAncestor(entry.identity)) {
                run_.dirs.push_back(entryPath);
                found_.push_back({run_.dirindex, entry.identity});
            }
            if (lists_.AddDirectory(entryPath) == Flow::Stop) return Flow::Stop;
        } else {
            std::string ident;
            if (IdentityOf(listing, entryPath, entry.size, position, ident) == Flow::Stop) {
                return Flow::Stop;
            }
            if (lists_.AddFile(entryPath, ident) == Flow::Stop) return Flow::Stop;
        }
        run_.progtotal += 1;
        return Flow::Continue;
    }

    // An entry the system named but would not tell about stays as it was last seen, with
    // whatever lay below it, as below a directory that cannot be read.
    void SkipUnexamined(const std::string& entryPath) {
        run_.progtotal += float(lists_.KeepPrevious(entryPath));
        app_.ShowError(Status("Failed To read {path}, skipping"), entryPath);
    }

    Flow IdentityOf(const Listing& listing, const std::string& entryPath, std::int64_t size,
                    std::size_t position, std::string& ident) {
        if (run_.md5) {
            app_.ShowStatusBar("MD5: " + entryPath);
            CountFile();
            ListAhead();
            const std::string& name = (*listing.names)[position];
            if (ahead_.Await(app_, listing.firstItem + position, listing.directory, name, size,
                             ident) == Flow::Stop) {
                return Flow::Stop;
            }
            // A file that cannot be read gets the mark of an unreadable size; an empty
            // identity would make it a directory.
            if (ident.empty()) ident = "-1";
        } else {
            ident = std::to_string(size);
            app_.ShowStatusBar(entryPath);
            CountFile();
        }
        return Flow::Continue;
    }

    // Whether the directory is the one being read or one of those above it.
    bool IsOwnAncestor(const rt::FileIdentity& identity) const {
        for (std::size_t at = run_.dirindex; at != NO_PARENT; at = found_[at].parent) {
            if (found_[at].identity == identity) return true;
        }
        return false;
    }

    void CountFile() {
        run_.progcur += 1;
        app_.ShowProgress(run_.progcur, run_.progprev);
    }

    void Stop() {
        run_.RequestStop();
        lists_.Rollback();
    }

    Application& app_;
    RunVariables& run_;
    TScanRows lists_;
    const TLinkRule links_{run_.links, run_.dir};
    const TExclusionRule exclusions_{run_.exclusions};
    TDigestAhead ahead_;
    // The listings made ahead: positions dirindex up to listedUpTo_ of `dirs`.
    std::deque<Listing> listed_;
    std::size_t listedUpTo_ = 0;
    // Beside `dirs`, position by position.
    std::vector<FoundDirectory> found_;
    std::vector<rt::FileIdentity> ownFiles_;
};

}  // namespace

void ScanTree(Application& app) {
    TreeScan(app).Run();
}

}  // namespace app
