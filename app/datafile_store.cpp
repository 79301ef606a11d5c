#include "app/datafile_store.h"

#include "app/application.h"
#include "app/datafile_name.h"
#include "app/entry_lists.h"
#include "app/files_written.h"
#include "app/log_marker.h"
#include "app/poll_step.h"
#include "app/sql_text.h"
#include "app/workers.h"
#include "database/sqlite/sqlite.h"
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

// Copies every row of the old `allist` into `lastallist`, one poll step per row.
Flow CopyOldList(Application& app) {
    // The commit before this resets every open statement, and a reset query presents its
    // first row again; the old list is therefore read by a query made after the commit.
    // Its statements are gone before the commit worker takes the connection.
    TEntryLists lists(*app.tdb);
    TListReader oldList = lists.ReadOldList();
    while (oldList.Next()) {
        lists.CopyToPrevious(oldList);
        if (PollStep(app) == Flow::Stop) return Flow::Stop;
    }
    return Flow::Continue;
}

void RotateLists(Application& app) {
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
    if (CopyOldList(app) == Flow::Stop || CommitOnWorker(app) == Flow::Stop) {
        run.RequestStop();
        return;
    }
    lists.ClearCurrent();
    tdb.startTransaction();
}

// Nothing else is read from a datafile whose lists are not both readable tables.
void AcceptLoadedLists(Application& app) {
    TEntryLists lists(*app.tdb);
    if (!lists.BothAreReadableTables()) app.EndWithError(OLD_DATAFILE_ERROR);
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

// An existing datafile is replaced inside an SQLite transaction: a failed or killed save
// leaves it as it was.
bool SaveOver(Application& app, const std::string& path) {
    return db::copyDatabase(app.tdb, path, 1, "main") == 0;
}

// A part of a datafile would pass for one of an older release at the next Start: a new
// datafile is written under a name of its own and renamed into place once whole, so a
// failed or killed first save leaves no datafile.
bool SaveNew(Application& app, const std::string& path) {
    if (path.empty()) return false;
    const std::string partial = PartialDatafilePath(path);
    rt::RemoveFile(partial);
    if (db::copyDatabase(app.tdb, partial, 1, "main") == 0 && rt::RenameFile(partial, path)) {
        return true;
    }
    rt::RemoveFile(partial);
    rt::RemoveFile(JournalPath(partial));
    return false;
}

// The scan's progress is measured against three times the stored list's rows.
void CountStoredList(Application& app) {
    db::TDBConnection& stored = *FollowedLists(app);
    const auto count = stored.executeQuery(sql::COUNT_OLD_LIST);
    const bool counted = !stored.hasError() && count->nextRow();
    app.run.progprev = counted ? 3.0f * float(count->rowRecord()->getLong(0)) : 0.0f;
}

// The working database, new and empty; false, with logging ended, when it cannot be made.
bool MakeWorkingDatabase(Application& app) {
    app.tdb = OpenWorkingConnection();
    if (!app.tdb) app.EndWithError(Status("Database access failed. Stopping."));
    return app.tdb != nullptr;
}

// Makes the working database and loads the datafile into it.
void LoadWorkingDatabase(Application& app) {
    if (!MakeWorkingDatabase(app)) return;
    app.ShowStatusBar("Loading datafile...");
    LoadOnWorker(app);
    if (!app.run.stopped) AcceptLoadedLists(app);
    BeginWorking(app);
    app.workingsaved = true;
}

}  // namespace

void DecideDatafilePath(Application& app) {
    auto& run = app.run;
    if (!run.datafilechosen) run.datafilepath = DeriveDatafileName(run.dir);
}

void OpenStoredLists(Application& app) {
    auto& run = app.run;
    run.firstrun = rt::EntryType(run.datafilepath) == rt::ENTRY_NONE;
    if (run.firstrun) {
        if (MakeWorkingDatabase(app)) BeginWorking(app);
        return;
    }
    app.ShowStatusBar("Loading datafile...");
    OpenOnWorker(app);
}

void LoadWorkingLists(Application& app) {
    if (!app.tdb) LoadWorkingDatabase(app);
}

db::TDBConnection* FollowedLists(Application& app) {
    if (app.run.firstrun) return nullptr;
    if (app.tdb) return app.tdb.get();
    return app.stored.get();
}

bool WorkingListsSaved(const Application& app) { return !app.tdb || app.workingsaved; }

void PrepareLists(Application& app) {
    if (app.run.firstrun) {
        if (app.tdb->isOpen()) CreateTables(app);
    } else {
        CountStoredList(app);
    }
}

Flow MakeWorkingLists(Application& app, std::int64_t kept) {
    auto& run = app.run;
    LoadWorkingLists(app);
    if (run.stopped) return Flow::Stop;
    RotateLists(app);
    if (run.stopped) return Flow::Stop;
    TEntryLists(*app.tdb).KeepFirstPrevious(kept);
    return Flow::Continue;
}

void SaveDatafile(Application& app) {
    // The datafile holds the lists alone: a search during the scan (below a directory that
    // could not be read) builds an index, which the comparison builds again if it needs it.
    TEntryLists(*app.tdb).DropIndexes();
    app.tdb->commit();
    app.ShowStatusBar("Saving datafile...");
    if (app.run.logchosen && !app.run.firstrun) MarkSaveUnlogged(app);
    const std::string& path = app.run.datafilepath;
    const bool saved = !path.empty() && rt::PathExists(path) ? SaveOver(app, path) : SaveNew(app, path);
    app.workingsaved = saved;
    if (!saved) app.ShowError(Status("Datafile ERROR! Failed to save datafile"));
}

}  // namespace app
