#pragma once
// The worker threads of logging: loading the datafile, committing the rotation and
// digesting one file. The main thread fills a work order, starts the worker and polls
// events until it has ended; it reads the order only after the worker has ended.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/flow.h"
#include "gui/gadget.h"
#include "runtime/object.h"

namespace rt {
class TDirectory;
class TThread;
}  // namespace rt

namespace db {
class TDBConnection;
class TDBSQLite;
class TDatabaseQuery;
}  // namespace db

namespace app {

struct Application;

// Work order of the load worker.
class _datafile : public rt::TObject {
public:
    std::shared_ptr<db::TDBSQLite> tdb;
    std::string datafile;
    std::int32_t save = 0;  // toFile of copyDatabase: 0 loads the file into tdb
    gui::TGadgetPtr statuslabel2;
    std::string errorstr;
    std::string lockedstr;  // shown instead when another program held the file locked
    std::int32_t stop = 0;
    std::int32_t error = 0;
};

// Work order of the commit worker.
class _query : public rt::TObject {
public:
    std::shared_ptr<db::TDBConnection> db;
    std::shared_ptr<db::TDatabaseQuery> query;  // not used by any operation
    std::int32_t progmd5amount = 0;             // not used by any operation
};

// Loads the datafile into the working database on the load worker, which is always
// waited for. Sets `stopped` and `failed` from the order (a stop request sets `stopped`).
void LoadOnWorker(Application& app);

// Opens the datafile into `stored` on the load worker, for reading its lists, and checks
// that both are readable tables; fails, is waited for and stops as the load does.
void OpenOnWorker(Application& app);

// Commits the working database on the commit worker. On a stop request the worker is
// abandoned and finishes on its own.
Flow CommitOnWorker(Application& app);

// One poll step per turn until waitFor(milliseconds), which waits up to that long for the
// work at hand, says it is done. Stop when a poll step asked for it first.
Flow PollUntil(Application& app, const std::function<bool(std::uint32_t)>& waitFor);

// Starts the MD5 worker on the named file of the directory, which it shares until it
// ends; its result is the file's digest text.
std::shared_ptr<rt::TThread> StartDigest(std::shared_ptr<const rt::TDirectory> directory,
                                         const std::string& name);

// Waits with polling for a digest worker and takes its digest into ident. On a stop
// request the worker is abandoned and its digest dropped.
Flow AwaitDigest(Application& app, rt::TThread& worker, std::string& ident);

}  // namespace app
