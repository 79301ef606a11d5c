#include "database/sqlite/sqlite_result_set.h"

#include <sqlite3.h>

#include <stdexcept>

#include "database/sqlite/sqlite_connection.h"
#include "database/sqlite/text_codec.h"
#include "runtime/text.h"

namespace db {
namespace {

sqlite3* nativeConnection(const TDBConnection& connection) {
    return static_cast<sqlite3*>(connection.handle);
}

int bindText(sqlite3_stmt* statement, int position, const std::string& text) {
    std::string_view bytes = encodeUTF8(text);
    return sqlite3_bind_text(statement, position, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

}  // namespace

std::shared_ptr<TSQLiteResultSet> TSQLiteResultSet::Create(const TDBConnectionPtr& connection,
                                                           const std::string& sql) {
    auto* sqliteConnection = dynamic_cast<TDBSQLite*>(connection.get());
    if (!sqliteConnection) throw std::invalid_argument("a SQLite result set needs a SQLite connection");
    auto resultSet = std::make_shared<TSQLiteResultSet>();
    resultSet->Init(connection, sql);
    resultSet->rec = TQueryRecord::Create();
    sqliteConnection->addQuery(*resultSet);
    return resultSet;
}

TSQLiteResultSet::~TSQLiteResultSet() {
    TSQLiteResultSet::free();
}

TDBSQLite& TSQLiteResultSet::connection() const {
    return static_cast<TDBSQLite&>(*conn);
}

int TSQLiteResultSet::executeQuery(const std::string& sql) {
    return prepare(sql) == 1 ? execute() : 0;
}

int TSQLiteResultSet::prepare(const std::string& sql) {
    if (!conn || conn->isOpen() == 0) return 0;
    cleanup();
    // A new statement may have other columns: the record is made again on its first fetch.
    rec->clear();
    connection().addQuery(*this);
    if (query.empty()) query = sql;
    std::string_view bytes = encodeUTF8(query);
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(nativeConnection(*conn), bytes.data(), static_cast<int>(bytes.size()),
                                &statement, nullptr);
    stmtHandle = statement;
    if (rc != SQLITE_OK) {
        conn->setError("Error preparing statement", decodeUTF8(sqlite3_errmsg(nativeConnection(*conn))),
                       TDatabaseError::ERROR_STATEMENT, rc);
        free();
        return 0;
    }
    return 1;
}

int TSQLiteResultSet::execute() {
    fakeFirstRowFetch = 0;
    auto* statement = static_cast<sqlite3_stmt*>(stmtHandle);
    sqlite3* native = nativeConnection(*conn);
    int rc = sqlite3_reset(statement);
    if (rc != SQLITE_OK) {
        conn->setError("Error resetting statement", decodeUTF8(sqlite3_errmsg(native)),
                       TDatabaseError::ERROR_STATEMENT, rc);
        free();
        return 0;
    }
    int parameters = sqlite3_bind_parameter_count(statement);
    if (parameters != bindCount) {
        conn->setError("Parameter count mismatch", "", TDatabaseError::ERROR_STATEMENT, 0);
        free();
        return 0;
    }
    for (int i = 0; i < parameters; ++i) {
        rc = bindParameter(i + 1, boundValues[static_cast<std::size_t>(i)]);
        if (rc != SQLITE_OK) {
            sqlite3_reset(statement);
            conn->setError("Failed to bind parameter (" + std::to_string(i) + ")",
                           decodeUTF8(sqlite3_errmsg(native)), TDatabaseError::ERROR_STATEMENT, rc);
            free();
            return 0;
        }
    }
    nextRow();
    // Success is judged by the connection's error record alone, so an error left set by
    // an earlier operation fails this execution too.
    _isActive = conn->error()->isSet() ? 0 : 1;
    return _isActive;
}

int TSQLiteResultSet::bindParameter(int position, const TDBTypePtr& v) {
    auto* statement = static_cast<sqlite3_stmt*>(stmtHandle);
    if (!v || v->isNull() == 1) return sqlite3_bind_null(statement, position);
    switch (v->kind()) {
    case KIND_STRING:
    case KIND_DATE:
    case KIND_DATETIME:
    case KIND_TIME:
        return bindText(statement, position, v->getString());
    case KIND_INT:
        return sqlite3_bind_int(statement, position, v->getInt());
    case KIND_DOUBLE:
        return sqlite3_bind_double(statement, position, v->getDouble());
    case KIND_FLOAT:
        return sqlite3_bind_double(statement, position, static_cast<double>(v->getFloat()));
    case KIND_LONG:
        return sqlite3_bind_int64(statement, position, v->getLong());
    case KIND_BLOB:
        // Not copied: the bytes must stay valid until the statement is reset or re-bound.
        return sqlite3_bind_blob(statement, position, v->getBlob(), v->size() > 0 ? v->size() : 0, SQLITE_STATIC);
    default:
        return SQLITE_OK;
    }
}

int TSQLiteResultSet::firstRow() {
    return index == -1 ? nextRow() : 0;
}

int TSQLiteResultSet::nextRow() {
    if (fakeFirstRowFetch == 1) {
        fakeFirstRowFetch = 0;
        return 1;
    }
    if (initialFetch == 1) {
        fakeFirstRowFetch = 1;
        initialFetch = 0;
    }
    auto* statement = static_cast<sqlite3_stmt*>(stmtHandle);
    // A text that held only comments prepares to no statement; it has no rows.
    int rc = statement ? sqlite3_step(statement) : SQLITE_DONE;
    if (rc == SQLITE_ROW) {
        if (rec->isEmpty() == 1) {
            initRecord();
            resetValues(rec->count());
        }
        for (int i = 0; i < rec->count(); ++i) readColumn(i);
        ++index;
        return 1;
    }
    if (rc == SQLITE_DONE) {
        if (rec->isEmpty() == 1) {
            initRecord();
            resetValues(rec->count());
            rec->setIsEmptySet();
        }
        fakeFirstRowFetch = 0;
        sqlite3_reset(statement);
        return 0;
    }
    sqlite3_reset(statement);
    conn->setError(decodeUTF8(sqlite3_errmsg(nativeConnection(*conn))), "", TDatabaseError::ERROR_STATEMENT, rc);
    return 0;
}

// The old row's value object is cleared (whoever kept it sees that) and a fresh one
// takes its place; a NULL column keeps the cleared object.
void TSQLiteResultSet::readColumn(int i) {
    auto* statement = static_cast<sqlite3_stmt*>(stmtHandle);
    TDBTypePtr& slot = values[static_cast<std::size_t>(i)];
    if (slot) slot->clear();
    switch (sqlite3_column_type(statement, i)) {
    case SQLITE_INTEGER:
        slot = TDBLong::Set(sqlite3_column_int64(statement, i));
        break;
    case SQLITE_FLOAT:
        slot = TDBDouble::Set(sqlite3_column_double(statement, i));
        break;
    case SQLITE_BLOB: {
        const void* bytes = sqlite3_column_blob(statement, i);
        slot = TDBBlob::Set(bytes, sqlite3_column_bytes(statement, i), 1);
        break;
    }
    case SQLITE_NULL:
        break;
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
        slot = TDBString::Set(decodeUTF8Bytes(text, sqlite3_column_bytes(statement, i)));
        break;
    }
    }
}

std::int64_t TSQLiteResultSet::lastInsertedId() {
    return _isActive == 1 ? sqlite3_last_insert_rowid(nativeConnection(*conn)) : 0;
}

int TSQLiteResultSet::rowsAffected() {
    return _isActive == 1 ? sqlite3_changes(nativeConnection(*conn)) : -1;
}

int TSQLiteResultSet::dbTypeFromNative(const std::string& declaredType, int /*length*/, int /*precision*/) {
    std::string type = rt::ToLowerAscii(declaredType);
    if (type.starts_with("numeric")) return KIND_DOUBLE;
    if (type == "integer" || type == "int") return KIND_LONG;
    if (type == "double" || type == "float") return KIND_DOUBLE;
    if (type == "blob") return KIND_BLOB;
    return KIND_STRING;
}

int TSQLiteResultSet::reset() {
    initialFetch = 1;
    index = -1;
    if (stmtHandle) sqlite3_reset(static_cast<sqlite3_stmt*>(stmtHandle));
    return 0;
}

int TSQLiteResultSet::free() {
    if (conn) connection().removeQuery(*this);
    if (stmtHandle) {
        sqlite3_finalize(static_cast<sqlite3_stmt*>(stmtHandle));
        stmtHandle = nullptr;
    }
    return 0;
}

int TSQLiteResultSet::cleanup() {
    index = -1;
    initialFetch = 1;
    clear();
    free();
    return 0;
}

int TSQLiteResultSet::initRecord() {
    rec->clear();
    auto* statement = static_cast<sqlite3_stmt*>(stmtHandle);
    int n = statement ? sqlite3_column_count(statement) : 0;
    if (n <= 0) return 0;
    rec->Init(n);
    for (int i = 0; i < n; ++i) {
        std::string name = decodeUTF8(sqlite3_column_name(statement, i));
        std::string declared = decodeUTF8(sqlite3_column_decltype(statement, i));
        // SQLite may report a column as table.column; the field is named by the column.
        std::size_t dot = name.find('.');
        if (dot != std::string::npos) name.erase(0, dot + 1);
        rec->setField(i, TQueryField::Create(name, dbTypeFromNative(declared, 0, 0)));
    }
    return 0;
}

}  // namespace db
