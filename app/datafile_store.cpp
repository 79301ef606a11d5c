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
        app.run.progprev += 1;
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
    run.progprev *= 3;
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

}  // namespace

void DecideDatafilePath(Application& app) {
    auto& run = app.run;
    if (!run.datafilechosen) run.datafilepath = DeriveDatafileName(run.dir);
}

void OpenWorkingDatabase(Application& app) {
    auto& run = app.run;
    run.firstrun = rt::EntryType(run.datafilepath) == rt::ENTRY_NONE;
    app.tdb = OpenWorkingConnection();
    if (!app.tdb) {
        app.EndWithError(Status("Database access failed. Stopping."));
        return;
    }
    if (!run.firstrun) {
        app.ShowStatusBar("Loading datafile...");
        LoadOnWorker(app);
        if (!run.stopped) AcceptLoadedLists(app);
    }
    // The page size is final now: the loaded datafile's, or the one set for a new database.
    app.tdb->executeQuery(sql::SET_CACHE_SIZE);
    app.tdb->startTransaction();
}

void PrepareLists(Application& app) {
    if (!app.tdb->isOpen()) return;
    if (app.run.firstrun) {
        CreateTables(app);
    } else {
        RotateLists(app);
    }
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
    if (!saved) app.ShowError(Status("Datafile ERROR! Failed to save datafile"));
}

}  // namespace app
