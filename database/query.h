#pragma once
// Queries and result sets. A TDatabaseQuery runs one statement on a connection and walks
// its rows; it delegates to the driver's TQueryResultSet, which owns the prepared
// statement, the bound parameters and the current row.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "database/connection.h"
#include "database/dbtypes.h"
#include "database/record.h"

namespace db {

class TRowEnumerator;

class TQueryResultSet {
public:
    TQueryResultSet() = default;
    TQueryResultSet(const TQueryResultSet&) = delete;
    TQueryResultSet& operator=(const TQueryResultSet&) = delete;
    // Runs free(): the row and parameter values are cleared.
    virtual ~TQueryResultSet();

    int Init(const TDBConnectionPtr& connection, const std::string& sql);
    int clearBindValues();
    int clear() { return clearBindValues(); }
    virtual int executeQuery(const std::string& sql) = 0;
    virtual int prepare(const std::string& sql) = 0;
    virtual int execute() = 0;
    virtual int firstRow() = 0;
    virtual int nextRow() = 0;
    virtual std::int64_t lastInsertedId() = 0;
    virtual int rowsAffected() = 0;
    // The record when active, else a new empty one.
    TQueryRecordPtr rowRecord();
    TDBTypePtr dataValue(int i) const;
    int rowIndex() const { return index; }
    int setRowIndex(int i) {
        index = i;
        return 0;
    }
    int isActive() const { return _isActive; }
    int isValid() const { return index != -1 && index != -2 ? 1 : 0; }
    int resetValues(int count);
    int resetBindCount() {
        bindCount = 0;
        return 0;
    }
    int addBindValue(const TDBTypePtr& v) { return bindValue(bindCount, v); }
    int bindValue(int i, const TDBTypePtr& v);
    virtual int reset() { return 0; }
    virtual int free();

    TDBConnectionPtr conn;
    void* stmtHandle = nullptr;
    std::string query;
    int _isActive = 0;
    int index = -1;  // -1 before the first row, -2 after the last
    std::vector<TDBTypePtr> values;
    int bindCount = 0;
    std::vector<TDBTypePtr> boundValues;
    TQueryRecordPtr rec;
};

using TQueryResultSetPtr = std::shared_ptr<TQueryResultSet>;

class TDatabaseQuery : public std::enable_shared_from_this<TDatabaseQuery> {
public:
    static std::shared_ptr<TDatabaseQuery> Create(const TDBConnectionPtr& connection);
    TDatabaseQuery() = default;
    TDatabaseQuery(const TDatabaseQuery&) = delete;
    TDatabaseQuery& operator=(const TDatabaseQuery&) = delete;
    ~TDatabaseQuery();

    // Parameters are then bound by 0-based position and the statement run by execute("").
    int prepare(const std::string& sql);
    // A non-empty text is prepared and run in one step; an empty one runs what was prepared.
    int execute(const std::string& sql = std::string());
    TDBTypePtr value(int i) const;
    // 1 while a row is current. The first call presents the row fetched by execute().
    int nextRow();
    int isActive() const { return resultSet ? resultSet->isActive() : 0; }
    int rowIndex() const { return resultSet ? resultSet->rowIndex() : -1; }
    // The same record for every row, filled with the current row's values.
    TQueryRecordPtr rowRecord();

    int bindValue(int i, const TDBTypePtr& v);
    int addBindValue(const TDBTypePtr& v);
    int setString(int i, const std::string& s) { return bindValue(i, TDBString::Set(s)); }
    int setInt(int i, std::int32_t n) { return bindValue(i, TDBInt::Set(n)); }
    int setLong(int i, std::int64_t n) { return bindValue(i, TDBLong::Set(n)); }
    int setFloat(int i, float f) { return bindValue(i, TDBFloat::Set(f)); }
    int setDouble(int i, double d) { return bindValue(i, TDBDouble::Set(d)); }
    int addString(const std::string& s) { return addBindValue(TDBString::Set(s)); }
    int addInt(std::int32_t n) { return addBindValue(TDBInt::Set(n)); }
    int addLong(std::int64_t n) { return addBindValue(TDBLong::Set(n)); }
    int addFloat(float f) { return addBindValue(TDBFloat::Set(f)); }
    int addDouble(double d) { return addBindValue(TDBDouble::Set(d)); }
    int clearBindValues();
    std::int64_t lastInsertedId();
    int rowsAffected();
    std::shared_ptr<TRowEnumerator> ObjectEnumerator();
    // Frees the result set (its statement is finalised) and lets go of the connection.
    int free();

    TDBConnectionPtr conn;
    TQueryResultSetPtr resultSet;

private:
    void attachResultSet();
    int executePrepared();
};

using TDatabaseQueryPtr = std::shared_ptr<TDatabaseQuery>;

// Walks a query's rows: while (e->HasNext()) use(e->NextObject()); or, as a range,
// for (const auto& record : query->ObjectEnumerator()) ...
class TRowEnumerator {
public:
    explicit TRowEnumerator(TDatabaseQueryPtr q) : query(std::move(q)) {}
    TRowEnumerator(const TRowEnumerator&) = delete;
    TRowEnumerator& operator=(const TRowEnumerator&) = delete;

    int HasNext();
    TQueryRecordPtr NextObject() const { return record; }

    TDatabaseQueryPtr query;
    TQueryRecordPtr record;

    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = TQueryRecordPtr;
        using difference_type = std::ptrdiff_t;
        using pointer = const TQueryRecordPtr*;
        using reference = const TQueryRecordPtr&;

        iterator() = default;
        explicit iterator(TRowEnumerator* e) : rows(e) { advance(); }
        reference operator*() const { return rows->record; }
        iterator& operator++() {
            advance();
            return *this;
        }
        void operator++(int) { advance(); }
        bool operator==(const iterator& other) const { return rows == other.rows; }

    private:
        void advance() {
            if (rows && !rows->HasNext()) rows = nullptr;
        }
        TRowEnumerator* rows = nullptr;
    };
};

inline TRowEnumerator::iterator begin(const std::shared_ptr<TRowEnumerator>& e) {
    return TRowEnumerator::iterator(e.get());
}

inline TRowEnumerator::iterator end(const std::shared_ptr<TRowEnumerator>&) {
    return TRowEnumerator::iterator();
}

}  // namespace db
