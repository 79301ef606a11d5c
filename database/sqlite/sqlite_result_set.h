#pragma once
// The SQLite result set: one prepared statement, its bound parameters and current row.
//
// execute() fetches the first row in advance and the first nextRow() presents it without
// stepping; that is what the two flags track. A statement without rows is reset after
// the advance fetch, so a later nextRow() runs it again from its start (a data-changing
// statement is then carried out a second time).

#include <cstddef>
#include <memory>
#include <string>

#include "database/query.h"

namespace db {

class TDBSQLite;

class TSQLiteResultSet : public TQueryResultSet {
public:
    // conn must be a TDBSQLite; the new result set is in its registry.
    static std::shared_ptr<TSQLiteResultSet> Create(const TDBConnectionPtr& connection, const std::string& sql);
    ~TSQLiteResultSet() override;

    int executeQuery(const std::string& sql) override;
    // Prepares the stored query text when there is one, else sql. Only the first
    // statement of the text is prepared.
    int prepare(const std::string& sql) override;
    int execute() override;
    int firstRow() override;
    int nextRow() override;
    std::int64_t lastInsertedId() override;
    int rowsAffected() override;
    // Kind code of a declared column type; length and precision are not used.
    static int dbTypeFromNative(const std::string& declaredType, int length, int precision);
    int reset() override;
    // Takes the result set out of the registry and finalises its statement.
    int free() override;
    int cleanup();
    int initRecord();

    int initialFetch = 1;
    int fakeFirstRowFetch = 0;

private:
    friend class TDBSQLite;
    TDBSQLite& connection() const;
    int bindParameter(int position, const TDBTypePtr& v);
    void readColumn(int i);

    std::ptrdiff_t registrySlot = -1;  // position in the connection's registry, -1 when out
};

}  // namespace db
