#include "app/live_logging.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/application.h"
#include "app/change_burst.h"
#include "app/datafile_update.h"
#include "app/exclusion_rule.h"
#include "app/incremental_run.h"
#include "app/live_list.h"
#include "app/live_report.h"
#include "app/log_marker.h"
#include "app/own_files.h"
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
// The sleep between polls while nothing is watched.
constexpr std::uint32_t UNWATCHED_SLEEP_MS = 100;
constexpr std::uint64_t NEVER = TChangeBursts::NEVER;
// The most directories one run lists again: the whole tree, listed once after each full run,
// is taken in parts so that the parts in flight stay small beside the tree in memory.
constexpr std::size_t MOST_DIRECTORIES_A_RUN = 1000;
constexpr const char* RELEASE_CACHE = "PRAGMA shrink_memory";
constexpr const char* LIMIT_REACHED =
    "the system's limit of watched directories is reached (raise it with 'sysctl "
    "fs.inotify.max_user_watches=N', N above the number of directories of the tree)";

}  // namespace

class TLiveLogging {
public:
    explicit TLiveLogging(Application& app) : app_(app), run_(app.run) {}

    // After a full run: the tree as it saved it, every directory of it watched.
    void Resume() {
        own_.Note(run_);
        bursts_.Clear();
        listed_ = !app_.tdb && OpenDatafile() && LoadList();
        const bool watched = listed_ && WatchTree();
        fullRunDue_ = NEVER;
        if (const std::int32_t minutes = FullRunMinutes(!watched || mayMiss_); minutes > 0) {
            fullRunDue_ = run_.runstart + std::uint64_t(minutes) * 60000;
        }
    }

    // Waits for changes until a full run is due or logging stops; true for a full run.
    bool Wait() {
        for (;;) {
            const std::uint64_t now = rt::Millisecs();
            if (now >= fullRunDue_) return true;
            if (now >= bursts_.NextEnd()) {
                switch (RunIncremental()) {
                    case Ran::Done: continue;
                    case Ran::NeedsFullRun: return true;
                    case Ran::Stopped: return false;
                }
            }
            // Nothing but a change, an interrupt or a due run wakes the program: a watch of
            // a big tree stays idle. A due time beyond the longest timed wait comes in parts.
            const std::uint64_t until = std::min(fullRunDue_, bursts_.NextEnd());
            const std::uint32_t timeout =
                until == NEVER ? rt::TTreeWatch::FOREVER
                               : std::uint32_t(std::min<std::uint64_t>(
                                     until - now, rt::TTreeWatch::FOREVER - 1));
            if (watch_) {
                if (TakeEvents(watch_->Wait(timeout))) return true;
            } else {
                rt::SleepMs(std::min(timeout, UNWATCHED_SLEEP_MS));
            }
            if (PollStep(app_) == Flow::Stop) return false;
        }
    }

    // Before a full run: the datafile is the full run's alone.
    void Pause() {
        if (datafile_) datafile_->close();
        datafile_.reset();
    }

private:
    enum class Ran { Done, NeedsFullRun, Stopped };

    // The run of the directories whose bursts ended. Its lines are marked owed, its
    // transaction commits, then they are told: a kill before the commit saves nothing (the
    // next start's full run finds the changes), and one after it leaves the lines not yet
    // told to the next start.
    Ran RunIncremental() {
        std::vector<TNamedDirectory> named = bursts_.Take(MOST_DIRECTORIES_A_RUN);
        if (!listed_ || !watch_) return Ran::NeedsFullRun;
        run_.BeginNextRun();
        app_.ShowStatus(Status("Dir log interval run #{n} started"),
                        std::to_string(run_.runnumber));
        datafile_->startTransaction();
        TIncrementalListing listing;
        TLiveLines lines;
        bool written = CatchUpPrevious(*datafile_, list_);
        Flow flow =
            written ? ListChanges(app_, list_, own_, *watch_, named, listing) : Flow::Continue;
        written = written && flow == Flow::Continue && WriteRun(*datafile_, list_, listing, lines);
        if (flow == Flow::Continue && !run_.stopped) flow = PollStep(app_);
        // Stopped before its lines are told, the run saves nothing and tells nothing.
        if (flow == Flow::Stop || run_.stopped) {
            datafile_->rollback();
            run_.RequestStop();
            return Ran::Stopped;
        }
        if (!written) {
            datafile_->rollback();
            return Ran::NeedsFullRun;
        }
        if (!MarkLiveRunUnreported(app_, lines)) {
            datafile_->rollback();
            return Ran::NeedsFullRun;
        }
        if (datafile_->commit() != 1) {
            // The marker names a stamp the datafile does not hold: nothing of it is owed.
            app_.owed.reset();
            app_.ShowError(Status("Datafile ERROR! Failed to save datafile"));
            return Ran::NeedsFullRun;
        }
        const bool told = ReportLiveLines(app_, lines);
        SettleLogMarker(app_, told);
        if (!told) return Ran::Stopped;
        ForgetGone(listing);
        if (!listing.unwatched.empty() || listing.limitReached) {
            CannotWatch(listing.limitReached ? LIMIT_REACHED : listing.unwatched);
            return Ran::NeedsFullRun;
        }
        run_.EndRun();
        if (!run_.errorshown) {
            app_.ShowStatus(Status("Dir log interval run #{n} complete"),
                            std::to_string(run_.runnumber));
        }
        return Ran::Done;
    }

    void ForgetGone(const TIncrementalListing& listing) {
        std::unordered_set<std::string> relisted;
        for (const TRelisted& directory : listing.relisted) relisted.insert(directory.path);
        for (const std::string& path : listing.goneDirectories) {
            watched_.erase(path);
            if (!relisted.contains(path)) watch_->Remove(path);
        }
        for (const TRelisted& directory : listing.relisted) watched_.insert(directory.path);
    }

    bool OpenDatafile() {
        datafile_ = db::TDBSQLite::Create(run_.datafilepath);
        return datafile_->isOpen() && datafile_->restrictToData() == 1;
    }

    bool LoadList() {
        if (list_.Load(*datafile_, run_.dir)) return true;
        Notice("the lists of " + run_.datafilepath +
               " cannot be followed in memory; a full run follows every " +
               std::to_string(FullRunMinutes(true)) + " minutes");
        return false;
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
                       std::to_string(FullRunMinutes(true)) + " minutes");
            }
            watch_ = rt::TTreeWatch::Open(run_.dir, failure);
            watched_.clear();
            if (!watch_) return CannotWatch("the tree cannot be watched (" + failure + ")");
        }
        for (const std::string& directory : list_.DirectoryPaths()) {
            if (watched_.contains(directory)) continue;
            switch (watch_->Add(directory, failure)) {
                case rt::TTreeWatch::Added::Done: break;
                case rt::TTreeWatch::Added::LimitReached: return CannotWatch(LIMIT_REACHED);
                case rt::TTreeWatch::Added::Failed:
                    // One that is gone since the run is a change its parent's watch reports.
                    if (!rt::PathExists(directory)) continue;
                    return CannotWatch(directory + " cannot be watched (" + failure + ")");
            }
            watched_.insert(directory);
            // It may have changed between the full run's listing and its watch: it is
            // listed once more, and what changed meanwhile is reported.
            bursts_.Note(directory, rt::Millisecs());
        }
        return true;
    }

    bool CannotWatch(const std::string& why) {
        watch_.reset();
        watched_.clear();
        Notice("the tree of " + run_.dir + " cannot be watched whole: " + why +
               "; a full run follows every " + std::to_string(FullRunMinutes(true)) + " minutes");
        return false;
    }

    // Minutes between full runs: those asked for, else when the watch alone cannot be
    // trusted the fallback's, else none.
    std::int32_t FullRunMinutes(bool untrusted) const {
        if (run_.intervalmode && run_.minutes > 0) return run_.minutes;
        return untrusted ? FALLBACK_MINUTES : 0;
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

    // Events of the program's own files and of excluded entries start no run.
    void TakeChange(const rt::TreeEvent& event) {
        if (!event.name.empty()) {
            if (own_.Holds(event.directory, event.name)) return;
            if (!exclusions_.Empty() &&
                exclusions_.Excludes(RelativeEntryPath(run_.dir, event.directory, event.name),
                                     false)) {
                return;
            }
        }
        bursts_.Note(event.directory, event.name, rt::Millisecs());
    }

    Application& app_;
    RunVariables& run_;
    TLiveList list_;
    std::unique_ptr<rt::TTreeWatch> watch_;
    std::unordered_set<std::string> watched_;
    TOwnFiles own_;
    const TExclusionRule exclusions_{run_.exclusions};
    // The directories the events named, in the order named.
    TChangeBursts bursts_;
    std::shared_ptr<db::TDBSQLite> datafile_;
    bool listed_ = false;
    bool mayMiss_ = false;
    std::uint64_t fullRunDue_ = NEVER;
    std::string lastNotice_;
};

void WatchForChanges(Application& app) {
    auto& run = app.run;
    if (run.stopped) {
        run.StopWaiting();
        return;
    }
    // Working lists outlive a run only when their save failed; their cache is given back while
    // watching. The datafile is then not the tree as the runs know it: no live run follows it.
    if (app.tdb && app.tdb->isOpen()) app.tdb->executeQuery(RELEASE_CACHE);
    // Live runs write the datafile: the full run's reading connection is made again when
    // the next full run follows the datafile.
    app.stored.reset();
    if (!app.live) app.live = std::make_shared<TLiveLogging>(app);
    app.live->Resume();
    if (!app.live->Wait()) {
        run.StopWaiting();
        return;
    }
    app.live->Pause();
    run.BeginNextRun();
    app.ShowStatus(Status("Dir log interval run #{n} started"), std::to_string(run.runnumber));
}

}  // namespace app
