#include "app/datafile_store.h"

#include "app/application.h"
#include "app/datafile_name.h"
#include "app/poll_step.h"
#include "app/sql_text.h"
#include "app/workers.h"
#include "database/sqlite/sqlite.h"
#include "runtime/filesystem.h"

namespace app {
namespace {

// Both lists are looked up by path once per row of the comparison. Datafiles written
// before the indexes existed get them here and keep them from their next save on.
void IndexLists(db::TDBConnection& tdb) {
    tdb.executeQuery(sql::INDEX_ALLIST);
    tdb.executeQuery(sql::INDEX_LASTALLIST);
}

void EndWithError(Application& app, const std::string& text) {
    app.ShowStatus(text);
    app.run.Fail();
}

void CreateTables(Application& app) {
    auto& tdb = *app.tdb;
    tdb.executeQuery(sql::CREATE_LASTALLIST);
    if (tdb.hasError()) {
        EndWithError(app, "Database creation 1 failed. Stopping.");
        tdb.close();
        return;
    }
    tdb.executeQuery(sql::CREATE_ALLIST);
    if (tdb.hasError()) {
        EndWithError(app, "Database creation 2 failed. Stopping.");
        tdb.close();
        return;
    }
    IndexLists(tdb);
}

// Copies every row of the old `allist` into `lastallist`, one poll step per row.
PollResult CopyOldList(Application& app, db::TDatabaseQuery& oldList) {
    while (oldList.nextRow()) {
        app.run.progprev += 1;
        const auto row = oldList.rowRecord();
        const std::string file = row->getString(0);
        const std::string ident = row->getString(1);
        if (!file.empty()) app.tdb->executeQuery(sql::InsertPrevious(file, ident));
        if (PollStep(app) == PollResult::StopRequest) return PollResult::StopRequest;
    }
    return PollResult::Continue;
}

void RotateLists(Application& app) {
    auto& tdb = *app.tdb;
    auto& run = app.run;
    tdb.executeQuery(sql::DELETE_LASTALLIST);
    tdb.executeQuery(sql::SELECT_OLD_LIST);
    const bool readFailed = tdb.hasError();
    tdb.commit();
    if (readFailed || tdb.hasError()) {
        EndWithError(app, OLD_DATAFILE_ERROR);
        return;
    }
    tdb.startTransaction();
    app.ShowStatusBar("Processing datafile...");
    // The commit resets every open statement, and a reset query presents its first row
    // again; the old list is therefore read by a query made after the commit. That query
    // is gone before the commit worker takes the connection.
    const bool stopRequested =
        CopyOldList(app, *tdb.executeQuery(sql::SELECT_OLD_LIST)) == PollResult::StopRequest;
    if (stopRequested || CommitOnWorker(app)) {
        run.RequestStop();
        return;
    }
    run.progprev *= 3;
    tdb.executeQuery(sql::DELETE_ALLIST);
    tdb.startTransaction();
}

}  // namespace

void OpenWorkingDatabase(Application& app) {
    auto& run = app.run;
    if (!run.datafilechosen) run.datafilepath = DeriveDatafileName(run.dir);
    run.firstrun = rt::EntryType(run.datafilepath) == rt::ENTRY_NONE;
    app.tdb = db::TDBSQLite::Create(":memory:", "", 0, "", "", "", "");
    if (!app.tdb) {
        EndWithError(app, "Database access failed. Stopping.");
        return;
    }
    app.tdb->executeQuery(sql::SET_ENCODING);
    if (!run.firstrun) {
        app.ShowStatusBar("Loading datafile...");
        LoadOnWorker(app);
        if (!run.stopped) IndexLists(*app.tdb);
    }
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
    app.tdb->commit();
    app.ShowStatusBar("Saving datafile...");
    if (db::copyDatabase(app.tdb, app.run.datafilepath, 1, "main") != 0) {
        app.ShowStatus("Datafile ERROR! Failed to save datafile");
        app.run.errorshown = true;
    }
}

}  // namespace app
