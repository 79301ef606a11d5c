#pragma once
// The SQLite connection. handle holds the library's connection; every live result set
// of the connection is in its registry, so closing finalises all their statements.

#include <memory>
#include <string>
#include <vector>

#include "database/connection.h"

namespace db {

class TSQLiteResultSet;

class TDBSQLite : public TDBConnection {
public:
    // Opens the database at once when dbname is non-empty; the connection is returned
    // whether or not that worked (test isOpen() or hasError()). ":memory:" is a private
    // in-memory database; a file is created when missing.
    static std::shared_ptr<TDBSQLite> Create(const std::string& dbname, const std::string& host = {},
                                             int port = 0, const std::string& user = {},
                                             const std::string& password = {}, const std::string& server = {},
                                             const std::string& options = {});
    // A private database on disk, removed when it closes. SQLite keeps it in its page cache
    // and writes pages to the file only once it outgrows the cache, so a large database
    // need not fit in memory. Test isOpen() as after Create.
    static std::shared_ptr<TDBSQLite> CreateTemporary();
    // A connection released while open closes its database.
    ~TDBSQLite() override;

    // Makes whatever a database copied in from elsewhere carries besides its rows inert:
    // its triggers never fire, its schema may not call functions with side effects, and
    // statements that could corrupt the file are refused. 1 on success, 0 when not open.
    int restrictToData();
    // A lock another connection holds on the file is waited for up to a few seconds, long
    // enough for another program's save to end, short enough to answer the user soon.
    void waitForLocks();

    // Finalises every statement of the connection, then closes; always ends closed.
    int close() override;
    int commit() override;
    std::vector<std::string> getTables() override;
    std::shared_ptr<TDBTable> getTableInfo(const std::string& tableName, int withDDL) override;
    // user and password are not used by SQLite.
    int open(const std::string& user, const std::string& password) override;
    int rollback() override;
    int startTransaction() override;
    void* databaseHandle() override { return handle; }
    std::shared_ptr<TQueryResultSet> createResultSet() override;
    std::string nativeErrorMessage(int code) const override;
    int hasPrepareSupport() const override { return 1; }
    int hasTransactionSupport() const override { return 1; }

    int clearQueries();
    int resetQueries();
    int addQuery(TSQLiteResultSet& resultSet);
    int removeQuery(TSQLiteResultSet& resultSet);

    // Not owning: a result set holds its connection alive and takes itself out of the
    // registry when it is freed, so the registry only ever lists live ones. Each entry
    // knows its own slot, which makes adding and removing constant-time.
    std::vector<TSQLiteResultSet*> queries;

private:
    int runTransactionStatement(const std::string& sql, const std::string& errorText, bool resetFirst);
};

}  // namespace db
