#include "database/sqlite/sqlite_connection.h"

#include <sqlite3.h>

#include <cstring>

#include "database/query.h"
#include "database/sqlite/sqlite_result_set.h"
#include "database/sqlite/text_codec.h"
#include "database/table.h"
#include "runtime/filesystem.h"

namespace db {
namespace {

constexpr int FILE_BUSY_TIMEOUT_MS = 3000;

}  // namespace

std::shared_ptr<TDBSQLite> TDBSQLite::Create(const std::string& dbname, const std::string& host, int port,
                                             const std::string& user, const std::string& password,
                                             const std::string& server, const std::string& options) {
    auto connection = std::make_shared<TDBSQLite>();
    connection->Init(dbname, host, port, user, password, server, options);
    if (!dbname.empty()) connection->open(user, password);
    return connection;
}

TDBSQLite::~TDBSQLite() {
    if (_isOpen) TDBSQLite::close();
}

std::shared_ptr<TDBSQLite> TDBSQLite::CreateTemporary() {
    auto connection = std::make_shared<TDBSQLite>();
    connection->Init("", "", 0, "", "", "", "");
    // SQLite's name for a private temporary database is the empty one.
    connection->open("", "");
    return connection;
}

int TDBSQLite::restrictToData() {
    if (!_isOpen) return 0;
    auto* connection = static_cast<sqlite3*>(handle);
    const auto set = [connection](int option, int value) {
        const int done = sqlite3_db_config(connection, option, value, static_cast<int*>(nullptr));
        return done == SQLITE_OK;
    };
    const bool restricted = set(SQLITE_DBCONFIG_ENABLE_TRIGGER, 0) &&
                            set(SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0) &&
                            set(SQLITE_DBCONFIG_DEFENSIVE, 1);
    return restricted ? 1 : 0;
}

void TDBSQLite::waitForLocks() {
    if (_isOpen) sqlite3_busy_timeout(static_cast<sqlite3*>(handle), FILE_BUSY_TIMEOUT_MS);
}

namespace {

// SQLite counts every allocation under one process-wide lock unless told otherwise before it
// starts; nothing here reads those counts.
void ConfigureLibraryOnce() {
    static const bool configured = [] { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }();
    (void)configured;
}

// SQLite gives a database file it creates the mode the umask leaves, and its journal the
// database file's mode. Made first here, at the name SQLite resolves (links followed), the
// file SQLite opens is readable by its owner alone, and so is every journal of it. No
// umask is changed, which other threads creating files at the same time would see.
void CreateOwnerOnlyDatabaseFile(const std::string& name) {
    if (name.empty() || name == ":memory:") return;
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (!vfs) return;
    std::string full(static_cast<std::size_t>(vfs->mxPathname) + 1, '\0');
    // SQLITE_OK_SYMLINK says that a link was followed on the way.
    if ((vfs->xFullPathname(vfs, name.c_str(), vfs->mxPathname + 1, full.data()) & 0xFF) != SQLITE_OK) {
        return;
    }
    full.resize(std::strlen(full.c_str()));
    rt::CreateOwnerOnlyFile(full);
}

}  // namespace

int TDBSQLite::open(const std::string& /*user*/, const std::string& /*password*/) {
    if (_isOpen) close();
    ConfigureLibraryOnce();
    std::string name(encodeUTF8(_dbname));
    CreateOwnerOnlyDatabaseFile(name);
    sqlite3* connection = nullptr;
    // A connection is used by one thread at a time (the layer's own bookkeeping needs that
    // too), so SQLite's per-call locking only costs time.
    int rc = sqlite3_open_v2(name.c_str(), &connection,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        // SQLite may hand back a connection even when opening failed; it is released here.
        sqlite3_close(connection);
        handle = nullptr;
        setError("Error opening database", "", TDatabaseError::ERROR_CONNECTION, rc);
        return 0;
    }
    // Text in double quotes reads as a string literal where no column has that name,
    // whatever the system library's build default is.
    sqlite3_db_config(connection, SQLITE_DBCONFIG_DQS_DML, 1, static_cast<int*>(nullptr));
    handle = connection;
    _isOpen = 1;
    return 1;
}

int TDBSQLite::close() {
    clearQueries();
    if (_isOpen) {
        int rc = sqlite3_close(static_cast<sqlite3*>(handle));
        if (rc != SQLITE_OK) setError("Error closing database", "", TDatabaseError::ERROR_CONNECTION, 0);
        handle = nullptr;
        _isOpen = 0;
    }
    return 0;
}

int TDBSQLite::runTransactionStatement(const std::string& sql, const std::string& errorText, bool resetFirst) {
    if (!_isOpen) return 0;
    if (resetFirst) resetQueries();
    auto query = executeQuery(sql);
    if (hasError()) {
        setError(errorText, _lastError->error, TDatabaseError::ERROR_TRANSACTION, 0);
        return 0;
    }
    query->free();
    return 1;
}

int TDBSQLite::startTransaction() {
    return runTransactionStatement("BEGIN TRANSACTION", "Error starting transaction", false);
}

int TDBSQLite::commit() {
    return runTransactionStatement("COMMIT TRANSACTION", "Error committing transaction", true);
}

int TDBSQLite::rollback() {
    return runTransactionStatement("ROLLBACK TRANSACTION", "Error rolling back transaction", true);
}

std::vector<std::string> TDBSQLite::getTables() {
    std::vector<std::string> names;
    if (!_isOpen) return names;
    auto query = TDatabaseQuery::Create(shared_from_this());
    if (query->execute("SELECT name FROM sqlite_master WHERE type = 'table' UNION ALL "
                       "SELECT name FROM sqlite_temp_master WHERE type = 'table'") == 1) {
        while (query->nextRow() == 1) {
            auto name = query->value(0);
            names.push_back(name ? name->getString() : std::string());
        }
    }
    return names;
}

namespace {

// A column's default as its own value: the row's value objects are cleared when the
// next row is fetched. SQLite reports defaults as text (or NULL for none).
TDBTypePtr defaultValueOf(const TDBTypePtr& v) {
    return v ? TDBString::Set(v->getString()) : nullptr;
}

}  // namespace

std::shared_ptr<TDBTable> TDBSQLite::getTableInfo(const std::string& tableName, int withDDL) {
    if (!_isOpen) return nullptr;
    auto query = TDatabaseQuery::Create(shared_from_this());
    // The name goes into the text as it is, without quoting.
    if (query->execute("PRAGMA table_info(" + tableName + ")") != 1) return nullptr;
    auto table = std::make_shared<TDBTable>();
    table->name = tableName;
    std::vector<std::shared_ptr<TDBColumn>> columns;
    for (const auto& row : query->ObjectEnumerator()) {
        columns.push_back(TDBColumn::Create(row->getString(1),
                                            TSQLiteResultSet::dbTypeFromNative(row->getString(2), 0, 0),
                                            row->getInt(3), defaultValueOf(row->value(4))));
    }
    table->SetCountColumns(static_cast<int>(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) table->SetColumn(static_cast<int>(i), columns[i]);
    if (withDDL != 0 &&
        query->execute("SELECT sql FROM sqlite_master WHERE Type = 'table' and name = '" + tableName + "'") == 1) {
        for (const auto& row : query->ObjectEnumerator()) table->ddl += row->getString(0) + ";\n\n";
    }
    return table;
}

std::shared_ptr<TQueryResultSet> TDBSQLite::createResultSet() {
    return TSQLiteResultSet::Create(shared_from_this(), "");
}

std::string TDBSQLite::nativeErrorMessage(int code) const {
    static const char* const primaryTexts[] = {
        "Successful result",
        "SQL error Or missing database",
        "An internal logic error in SQLite",
        "Access permission denied",
        "Callback routine requested an abort",
        "The database file is locked",
        "A table in the database is locked",
        "A malloc() failed",
        "Attempt To write a readonly database",
        "Operation terminated by sqlite_interrupt()",
        "Some kind of disk I/O error occurred",
        "The database disk image is malformed",
        "(Internal Only) Table Or record Not found",
        "Insertion failed because database is full",
        "Unable To open the database file",
        "Database lock protocol error",
        "(Internal Only) Database table is empty",
        "The database schema changed",
        "Too much data For one row of a table",
        "Abort due To constraint violation",
        "Data Type mismatch",
        "Library used incorrectly",
        "Uses OS features Not supported on host",
        "Authorization denied",
    };
    if (code >= 0 && code < static_cast<int>(std::size(primaryTexts))) return primaryTexts[code];
    if (code == SQLITE_ROW) return "sqlite_step() has another row ready";
    if (code == SQLITE_DONE) return "sqlite_step() has finished executing";
    return {};
}

int TDBSQLite::clearQueries() {
    // Freeing takes a result set out of the registry; take them all out first instead.
    std::vector<TSQLiteResultSet*> live;
    live.swap(queries);
    for (auto* resultSet : live) resultSet->registrySlot = -1;
    for (auto* resultSet : live) resultSet->free();
    return 0;
}

int TDBSQLite::resetQueries() {
    for (auto* resultSet : queries) resultSet->reset();
    return 0;
}

int TDBSQLite::addQuery(TSQLiteResultSet& resultSet) {
    if (resultSet.registrySlot >= 0) return 0;
    resultSet.registrySlot = static_cast<std::ptrdiff_t>(queries.size());
    queries.push_back(&resultSet);
    return 0;
}

int TDBSQLite::removeQuery(TSQLiteResultSet& resultSet) {
    if (resultSet.registrySlot < 0) return 0;
    auto slot = static_cast<std::size_t>(resultSet.registrySlot);
    queries[slot] = queries.back();
    queries[slot]->registrySlot = static_cast<std::ptrdiff_t>(slot);
    queries.pop_back();
    resultSet.registrySlot = -1;
    return 0;
}

}  // namespace db
