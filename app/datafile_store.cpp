#include "app/datafile_store.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/datafile_name.h"
#include "app/entry_lists.h"
#include "app/files_written.h"
#include "app/log_marker.h"
#include "app/poll_step.h"
#include "app/sql_text.h"
#include "app/workers.h"
#include "database/sqlite/sqlite.h"
#include "runtime/file_lock.h"
#include "runtime/filesystem.h"

namespace app {
namespace {

void CreateTables(Application& app) {
    TEntryLists lists(*app.tdb);
    if (!lists.CreatePrevious()) {
        app.EndWithError(Status("Database creation 1 failed. Stopping."));
        app.tdb->close();
        return;
    }
    if (!lists.CreateCurrent()) {
        app.EndWithError(Status("Database creation 2 failed. Stopping."));
        app.tdb->close();
        return;
    }
}

// Copies every row of the followed `allist` into the working `lastallist`, one poll step
// per row.
Flow CopyOldList(Application& app, db::TDBConnection& followed) {
    // The commit before this resets every open statement, and a reset query presents its
    // first row again; the old list is therefore read by a query made after the commit.
    // Its statements are gone before the commit worker takes the connection.
    TEntryLists from(followed);
    TEntryLists lists(*app.tdb);
    TListReader oldList = from.ReadOldList();
    while (oldList.Next()) {
        app.run.progprev += 1;
        lists.CopyToPrevious(oldList);
        if (PollStep(app) == Flow::Stop) return Flow::Stop;
    }
    // A read that failed part-way must not pass for the end of the list.
    if (followed.hasError()) {
        app.EndWithError(OLD_DATAFILE_ERROR);
        return Flow::Stop;
    }
    return Flow::Continue;
}

// `allist` of the working database (or of the datafile, for new working lists) becomes the
// working `lastallist`, and the working `allist` is emptied.
void RotateLists(Application& app, db::TDBConnection& followed) {
    auto& tdb = *app.tdb;
    auto& run = app.run;
    TEntryLists lists(tdb);
    lists.DropIndexes();
    lists.ClearPrevious();
    const bool readFailed = !lists.BothAreReadableTables();
    tdb.commit();
    if (readFailed || tdb.hasError()) {
        app.EndWithError(OLD_DATAFILE_ERROR);
        return;
    }
    tdb.startTransaction();
    app.ShowStatusBar("Processing datafile...");
    if (CopyOldList(app, followed) == Flow::Stop || CommitOnWorker(app) == Flow::Stop) {
        run.RequestStop();
        return;
    }
    run.progprev *= 3;
    lists.ClearCurrent();
    tdb.startTransaction();
}

// Nothing else is read from a datafile whose lists are not both readable tables (the open
// checked that). A derived name is shared by every directory that differs only in
// separators, blanks and colons: the list of another of them is never compared with this one.
void AcceptStoredLists(Application& app) {
    if (app.run.datafilechosen) return;
    const std::optional<std::string> listed = TEntryLists(*app.stored).FirstPath();
    if (listed && *listed != app.run.dir) {
        app.EndWithError(Status("Datafile ERROR! Datafile {name} holds the list of another "
                                "directory: {directory}"),
                         app.run.datafilepath, *listed);
    }
}

// Only "nothing is there" makes a first run: a datafile that cannot be examined may hold
// the list to compare with, and a first run would overwrite it.
bool DecideFirstRun(Application& app) {
    auto& run = app.run;
    const rt::EntryStatus datafile = rt::QueryPath(run.datafilepath);
    if (!datafile.Answered()) {
        app.EndWithError(Status("Datafile ERROR! Failed to read datafile {name}: {reason}"),
                         run.datafilepath, datafile.failure);
        return false;
    }
    if (datafile.kind == rt::ENTRY_DIR) {
        app.EndWithError(Status("Datafile ERROR! Datafile {name} is a directory"),
                         run.datafilepath);
        return false;
    }
    run.firstrun = datafile.kind == rt::ENTRY_NONE;
    return true;
}

// The working database lives in SQLite's page cache up to a bound and in a temporary file
// beyond it, so a tree of millions of entries does not need its lists in memory twice over
// (the lists and the undo copy of every page a transaction changes). A datafile from
// elsewhere can only be data in it. Null when it fails.
std::shared_ptr<db::TDBSQLite> OpenWorkingConnection() {
    auto tdb = db::TDBSQLite::CreateTemporary();
    if (!tdb->isOpen() || tdb->restrictToData() != 1) return nullptr;
    tdb->executeQuery(sql::SET_ENCODING);
    tdb->executeQuery(sql::SET_PAGE_SIZE);
    tdb->executeQuery(sql::SET_FAST_DELETE);
    return tdb;
}

// The page size is final now: the loaded datafile's, or the one set for a new database.
void BeginWorking(Application& app) {
    app.tdb->executeQuery(sql::SET_CACHE_SIZE);
    app.tdb->startTransaction();
}

// The working database, new and empty; false, with logging ended, when it cannot be made.
bool MakeWorkingDatabase(Application& app) {
    app.tdb = OpenWorkingConnection();
    if (!app.tdb) app.EndWithError(Status("Database access failed. Stopping."));
    return app.tdb != nullptr;
}

// New working lists beside the datafile's: their rows are numbered on from the datafile's,
// as the datafile's own lists would number them.
void MakeEmptyWorkingLists(Application& app, db::TDBConnection& datafile) {
    if (!MakeWorkingDatabase(app)) return;
    BeginWorking(app);
    CreateTables(app);
    if (!app.run.stopped) TEntryLists(*app.tdb).NumberOnFrom(datafile);
}

// The rows the scan found unchanged before its first change, copied back from the rotated
// list a part at a time, so that Stop is answered soon on any tree.
Flow KeepFoundRows(Application& app, std::int64_t kept) {
    constexpr std::int64_t ROWS_A_STEP = 8192;
    TEntryLists lists(*app.tdb);
    std::int64_t after = 0;
    for (std::int64_t left = kept; left > 0; left -= ROWS_A_STEP) {
        after = lists.KeepPreviousAfter(after, std::min(left, ROWS_A_STEP));
        if (PollStep(app) == Flow::Stop) {
            app.run.RequestStop();
            return Flow::Stop;
        }
    }
    return Flow::Continue;
}

// Holds the datafile against other copies of the program from here to the end of
// logging, so that no two runs report the same change. A datafile that is no regular file
// is left to the load to refuse. False when another program held it for the whole wait.
bool HoldDatafile(Application& app) {
    rt::TFileLock::Outcome outcome;
    app.datafileLock = rt::TFileLock::Acquire(app.run.datafilepath, false, FILE_LOCK_TIMEOUT_MS, outcome);
    return outcome != rt::TFileLock::Outcome::Busy;
}

enum class Saved { Done, Failed, Locked };

Saved SaveResult(int result) {
    if (result == 0) return Saved::Done;
    return db::isLockedResult(result) ? Saved::Locked : Saved::Failed;
}

// A datafile that must stay the same file (another name of it, another owner, a link) is
// replaced inside an SQLite transaction: a failed or killed save leaves it as it was.
Saved SaveOver(Application& app, const std::string& path) {
    return SaveResult(db::copyDatabase(app.tdb, path, 1, "main"));
}

// Otherwise the new datafile is written whole under a name of its own and renamed into
// place: a failed or killed save leaves the old one (or none), and nothing is written twice
// (no journal of the old pages). The new file is held before it takes the name, so that no
// other program finds it unheld.
Saved SaveByRename(Application& app, const std::string& path) {
    const std::string partial = PartialDatafilePath(path);
    rt::RemoveFile(partial);
    Saved saved = SaveResult(db::copyDatabase(app.tdb, partial, 1, "main"));
    rt::TFileLock::Outcome outcome;
    std::shared_ptr<rt::TFileLock> lock;
    if (saved == Saved::Done) lock = rt::TFileLock::Acquire(partial, false, 0, outcome);
    if (lock && rt::RenameOver(partial, path)) {
        app.datafileLock = std::move(lock);
        return Saved::Done;
    }
    rt::RemoveFile(partial);
    rt::RemoveFile(JournalPath(partial));
    return saved == Saved::Done ? Saved::Failed : saved;
}

// The run's lists are the datafile's now: the next run follows the datafile, opened at
// once while it is surely the file this run wrote (it is read even if removed meanwhile).
void FollowSavedDatafile(Application& app) {
    app.workingsaved = true;
    app.stored = db::TDBSQLite::Create(app.run.datafilepath);
    if (!app.stored->isOpen() || app.stored->restrictToData() != 1) app.stored.reset();
}

}  // namespace

void DecideDatafilePath(Application& app) {
    auto& run = app.run;
    if (!run.datafilechosen) run.datafilepath = DeriveDatafileName(run.dir);
}

void OpenStoredLists(Application& app) {
    auto& run = app.run;
    if (!HoldDatafile(app)) {
        app.EndWithError(DATAFILE_LOCKED_ERROR);
        return;
    }
    if (!DecideFirstRun(app)) return;
    if (run.firstrun) {
        if (MakeWorkingDatabase(app)) BeginWorking(app);
        return;
    }
    app.ShowStatusBar("Loading datafile...");
    OpenOnWorker(app);
    if (!run.stopped) AcceptStoredLists(app);
}

void LoadWorkingLists(Application& app) {
    if (app.tdb) return;
    if (!MakeWorkingDatabase(app)) return;
    app.ShowStatusBar("Loading datafile...");
    LoadOnWorker(app);
    BeginWorking(app);
    app.workingsaved = true;
}

db::TDBConnection* FollowedLists(Application& app) {
    if (app.run.firstrun) return nullptr;
    if (app.tdb) return app.tdb.get();
    if (!app.stored) {
        OpenOnWorker(app);
        if (app.run.stopped) return nullptr;
    }
    return app.stored.get();
}

// A datafile removed or replaced since it was held is no longer what the run compared with.
bool WorkingListsSaved(const Application& app) {
    const bool heldAsSaved = app.datafileLock && app.datafileLock->Holds(app.run.datafilepath);
    return (!app.tdb || app.workingsaved) && heldAsSaved;
}

void PrepareLists(Application& app) {
    if (app.run.firstrun) {
        if (app.tdb->isOpen()) CreateTables(app);
        return;
    }
    db::TDBConnection* followed = FollowedLists(app);
    if (!followed) return;
    // The scan's progress is measured against three times the followed list's rows.
    const auto count = followed->executeQuery(sql::COUNT_OLD_LIST);
    const bool counted = !followed->hasError() && count->nextRow();
    app.run.progprev = counted ? 3.0f * float(count->rowRecord()->getLong(0)) : 0.0f;
}

Flow MakeWorkingLists(Application& app, std::int64_t kept) {
    auto& run = app.run;
    db::TDBConnection* followed = FollowedLists(app);
    if (!followed) return Flow::Stop;
    if (!app.tdb) MakeEmptyWorkingLists(app, *followed);
    if (run.stopped) return Flow::Stop;
    RotateLists(app, *followed);
    if (run.stopped || KeepFoundRows(app, kept) == Flow::Stop) return Flow::Stop;
    app.workingsaved = false;
    return Flow::Continue;
}

bool SaveDatafile(Application& app) {
    // The datafile holds the lists alone: a search during the scan (below a directory that
    // could not be read) builds an index, which the comparison builds again if it needs it.
    TEntryLists(*app.tdb).DropIndexes();
    app.tdb->commit();
    app.ShowStatusBar("Saving datafile...");
    // Without the marker a stop or a kill after the save would lose lines: neither save
    // nor report then, and the next run reports the changes once.
    if (!app.run.firstrun && !MarkSaveUnreported(app)) return false;
    const std::string& path = app.run.datafilepath;
    Saved saved = Saved::Failed;
    if (!path.empty()) {
        saved = rt::ReplaceableByRename(path) ? SaveByRename(app, path) : SaveOver(app, path);
    }
    switch (saved) {
        case Saved::Done: FollowSavedDatafile(app); break;
        case Saved::Failed: app.ShowError(Status("Datafile ERROR! Failed to save datafile")); break;
        case Saved::Locked: app.ShowError(DATAFILE_LOCKED_ERROR); break;
    }
    return true;
}

void EndRunLists(Application& app) {
    if (app.workingsaved) app.tdb.reset();
}

}  // namespace app
