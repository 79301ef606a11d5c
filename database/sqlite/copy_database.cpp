#include "database/sqlite/copy_database.h"

#include <sqlite3.h>

#include <string>

#include "database/sqlite/sqlite_connection.h"
#include "database/sqlite/text_codec.h"

namespace db {
namespace {

// A file being written keeps this much of the copy in memory before it must spill pages
// into the file, and every spill first waits for its journal to reach the disk: with the
// default of 2 MB a datafile of 650 MB was synced some 700 times.
constexpr const char* DESTINATION_CACHE = "PRAGMA cache_size = -65536";

int PageSize(sqlite3* connection) {
    sqlite3_stmt* statement = nullptr;
    int size = 0;
    if (sqlite3_prepare_v2(connection, "PRAGMA main.page_size", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        size = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    return size;
}

// The cache size in KiB becomes a count of pages at the page size of the moment: a new file
// would count the system library's small default pages and then hold the copy's larger ones,
// four times the memory meant (a copy of 550 MB held 260 MB). It takes the source's page size
// first; a file that holds pages keeps its own.
void SetDestinationCache(sqlite3* destination, sqlite3* source) {
    const std::string pageSize = "PRAGMA page_size = " + std::to_string(PageSize(source));
    sqlite3_exec(destination, pageSize.c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(destination, DESTINATION_CACHE, nullptr, nullptr, nullptr);
}

}  // namespace

int copyDatabase(const TDBConnectionPtr& connection, const std::string& fileName, int toFile,
                 const std::string& schemaName) {
    auto* own = connection ? static_cast<sqlite3*>(connection->databaseHandle()) : nullptr;
    if (!own) return SQLITE_MISUSE;
    // An empty name opens nothing, which must not pass for a successful copy.
    if (fileName.empty()) return SQLITE_CANTOPEN;
    auto file = TDBSQLite::Create(fileName);
    if (file->isOpen() == 0) return file->hasError() ? file->error()->errorValue : SQLITE_CANTOPEN;
    auto* fileHandle = static_cast<sqlite3*>(file->handle);
    file->waitForLocks();
    sqlite3* source = toFile != 0 ? own : fileHandle;
    sqlite3* destination = toFile != 0 ? fileHandle : own;
    if (toFile != 0) SetDestinationCache(fileHandle, own);
    std::string name(encodeUTF8(schemaName));
    if (sqlite3_backup* backup = sqlite3_backup_init(destination, name.c_str(), source, name.c_str())) {
        sqlite3_backup_step(backup, -1);
        sqlite3_backup_finish(backup);
    }
    int rc = sqlite3_errcode(destination);
    file->close();
    return rc;
}

bool isLockedResult(int result) {
    const int primary = result & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace db
