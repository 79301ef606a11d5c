#include "database/sqlite/copy_database.h"

#include <sqlite3.h>

#include "database/sqlite/sqlite_connection.h"
#include "database/sqlite/text_codec.h"

namespace db {
namespace {

// A file being written keeps this much of the copy in memory before it must spill pages
// into the file, and every spill first waits for its journal to reach the disk: with the
// default of 2 MB a datafile of 650 MB was synced some 700 times.
constexpr const char* DESTINATION_CACHE = "PRAGMA cache_size = -65536";

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
    if (toFile != 0) sqlite3_exec(fileHandle, DESTINATION_CACHE, nullptr, nullptr, nullptr);
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
