#pragma once
// The worker threads of logging: loading the datafile, committing the rotation and
// digesting one file. The main thread fills a work order, starts the worker and polls
// events until it has ended; it reads the order only after the worker has ended.

#include <cstdint>
#include <memory>
#include <string>

#include "app/flow.h"
#include "gui/gadget.h"
#include "runtime/object.h"

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

// Commits the working database on the commit worker. On a stop request the worker is
// abandoned and finishes on its own.
Flow CommitOnWorker(Application& app);

// The file's digest on the MD5 worker, into ident. On a stop request the worker is
// abandoned and its digest dropped.
Flow DigestOnWorker(Application& app, const std::string& path, std::string& ident);

}  // namespace app
