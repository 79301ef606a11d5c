#include "app/live_logging.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/application.h"
#include "app/change_burst.h"
#include "app/files_written.h"
#include "app/live_list.h"
#include "app/poll_step.h"
#include "database/sqlite/sqlite.h"
#include "runtime/clock.h"
#include "runtime/filesystem.h"
#include "runtime/path.h"
#include "runtime/tree_watch.h"

namespace app {
namespace {

// Full runs of a tree that cannot be watched whole, when --interval does not say how often.
constexpr std::int32_t FALLBACK_MINUTES = 5;
// The longest single wait: an interrupt that came just before a wait began is taken then.
constexpr std::uint32_t LONGEST_WAIT_MS = 1000;
// The sleep between polls while nothing is watched.
constexpr std::uint32_t UNWATCHED_SLEEP_MS = 100;
constexpr std::uint64_t NEVER = UINT64_MAX;

// The files the program writes itself: their events never start a run. Known by path, and
// by identity for the same file reached another way.
class TOwnFiles {
public:
    void Note(const RunVariables& run) {
        paths_ = FilesWritten(rt::AbsolutePath(run.datafilepath),
                              run.logchosen ? rt::AbsolutePath(run.logpath) : std::string());
        if (!run.logchosen) paths_.resize(paths_.size() - 2);
        identities_.clear();
        for (const std::string& path : paths_) {
            rt::FileIdentity identity;
            if (rt::FileIdentityOf(path, identity)) identities_.push_back(identity);
        }
    }
    bool Holds(const std::string& path) const {
        if (std::find(paths_.begin(), paths_.end(), path) != paths_.end()) return true;
        rt::FileIdentity identity;
        return rt::EntryType(path) == rt::ENTRY_FILE && rt::FileIdentityOf(path, identity) &&
               std::find(identities_.begin(), identities_.end(), identity) != identities_.end();
    }

private:
    std::vector<std::string> paths_;
    std::vector<rt::FileIdentity> identities_;
};

}  // namespace

class TLiveLogging {
public:
    explicit TLiveLogging(Application& app) : app_(app), run_(app.run) {}

    // After a full run: the tree as it saved it, every directory of it watched.
    void Resume() {
        own_.Note(run_);
        burst_.Close();
        dirty_.clear();
        const bool listed = LoadList();
        const bool watched = listed && WatchTree();
        untrusted_ = !watched || mayMiss_;
        const std::int32_t minutes = run_.intervalmode && run_.minutes > 0 ? run_.minutes
                                     : untrusted_                          ? FALLBACK_MINUTES
                                                                           : 0;
        fullRunDue_ = minutes > 0 ? run_.runstart + std::uint64_t(minutes) * 60000 : NEVER;
        // Directories watched only now may have changed between their listing and their
        // watch: a full run of an unchanged tree finds that out at the cost of one walk.
        if (watched && newlyWatched_) fullRunDue_ = rt::Millisecs();
    }

    // Waits for changes until a full run is due or logging stops; true for a full run.
    bool Wait() {
        for (;;) {
            const std::uint64_t now = rt::Millisecs();
            if (now >= fullRunDue_) return true;
            if (burst_.Open() && now >= burst_.EndsAt()) {
                // Every change is reported by a full run until runs of their own exist.
                return true;
            }
            const std::uint64_t until =
                std::min(fullRunDue_, burst_.Open() ? burst_.EndsAt() : NEVER);
            const std::uint32_t timeout =
                std::uint32_t(std::min<std::uint64_t>(until - now, LONGEST_WAIT_MS));
            if (watch_) {
                if (TakeEvents(watch_->Wait(timeout))) return true;
            } else {
                rt::SleepMs(std::min(timeout, UNWATCHED_SLEEP_MS));
            }
            if (PollStep(app_) == Flow::Stop) return false;
        }
    }

private:
    bool LoadList() {
        auto datafile = db::TDBSQLite::Create(run_.datafilepath);
        const bool loaded = datafile->isOpen() && datafile->restrictToData() == 1 &&
                            list_.Load(*datafile, run_.dir);
        datafile->close();
        if (!loaded)
            app_.ShowNotice(
                "the datafile's lists cannot be followed in memory: full runs report every change");
        return loaded;
    }

    // False, with the notice said, when some directory cannot be watched.
    bool WatchTree() {
        std::string failure;
        if (!watch_) {
            std::string kind;
            mayMiss_ = rt::TTreeWatch::MayMissChanges(run_.dir, kind);
            if (mayMiss_) {
                Notice(run_.dir + " is on a " + kind +
                       " file system, which may not report changes made elsewhere: a full run "
                       "follows every " +
                       std::to_string(FallbackMinutes()) + " minutes");
            }
            watch_ = rt::TTreeWatch::Open(run_.dir, failure);
            watched_.clear();
            if (!watch_) return CannotWatch("the tree cannot be watched (" + failure + ")");
        }
        newlyWatched_ = false;
        for (const std::string& directory : list_.DirectoryPaths()) {
            if (watched_.contains(directory)) continue;
            switch (watch_->Add(directory, failure)) {
                case rt::TTreeWatch::Added::Done: break;
                case rt::TTreeWatch::Added::LimitReached:
                    return CannotWatch(
                        "the system's limit of watched directories is reached (raise it with "
                        "'sysctl fs.inotify.max_user_watches=N', N above the number of "
                        "directories of the tree)");
                case rt::TTreeWatch::Added::Failed:
                    // One that is gone since the run is a change its parent's watch reports.
                    if (!rt::PathExists(directory)) continue;
                    return CannotWatch(directory + " cannot be watched (" + failure + ")");
            }
            watched_.insert(directory);
            newlyWatched_ = true;
        }
        return true;
    }

    bool CannotWatch(const std::string& why) {
        watch_.reset();
        watched_.clear();
        Notice("the tree of " + run_.dir + " cannot be watched whole: " + why +
               "; a full run follows every " + std::to_string(FallbackMinutes()) + " minutes");
        return false;
    }

    std::int32_t FallbackMinutes() const {
        return run_.intervalmode && run_.minutes > 0 ? run_.minutes : FALLBACK_MINUTES;
    }

    // A notice is said when it is new: a tree that stays unwatchable is not told again at
    // every full run.
    void Notice(const std::string& text) {
        if (text == lastNotice_) return;
        lastNotice_ = text;
        app_.ShowNotice(text);
    }

    // True when the events need a full run now.
    bool TakeEvents(const std::vector<rt::TreeEvent>& events) {
        for (const rt::TreeEvent& event : events) {
            switch (event.kind) {
                case rt::TreeEvent::Kind::Overflow:
                    app_.ShowNotice("the system dropped change events of " + run_.dir +
                                    ": a full run follows");
                    return true;
                case rt::TreeEvent::Kind::RootGone:
                    app_.ShowNotice(run_.dir +
                                    " was moved, removed or unmounted: a full run follows");
                    watch_.reset();
                    watched_.clear();
                    return true;
                case rt::TreeEvent::Kind::Changed: TakeChange(event); break;
            }
        }
        return false;
    }

    void TakeChange(const rt::TreeEvent& event) {
        if (own_.Holds(rt::JoinEntryPath(event.directory, event.name))) return;
        burst_.Note(rt::Millisecs());
        dirty_.insert(event.directory);
    }

    Application& app_;
    RunVariables& run_;
    TLiveList list_;
    std::unique_ptr<rt::TTreeWatch> watch_;
    std::unordered_set<std::string> watched_;
    TOwnFiles own_;
    TChangeBurst burst_;
    std::unordered_set<std::string> dirty_;
    bool mayMiss_ = false;
    bool untrusted_ = false;
    bool newlyWatched_ = false;
    std::uint64_t fullRunDue_ = NEVER;
    std::string lastNotice_;
};

void WatchForChanges(Application& app) {
    auto& run = app.run;
    if (run.stopped) {
        run.StopWaiting();
        return;
    }
    if (!app.live) app.live = std::make_shared<TLiveLogging>(app);
    app.live->Resume();
    if (!app.live->Wait()) {
        run.StopWaiting();
        return;
    }
    run.BeginNextRun();
    app.ShowStatus(Status("Dir log interval run #{n} started"), std::to_string(run.runnumber));
}

}  // namespace app
