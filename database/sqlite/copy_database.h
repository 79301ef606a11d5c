#pragma once
// Whole-database copy between a SQLite connection and a file, with SQLite's online backup.

#include <string>

#include "database/connection.h"

namespace db {

// Copies the database schemaName ("main") from the connection into the file when toFile
// is non-zero, else from the file into the connection, replacing the whole destination.
// A lock another connection holds on the file is waited for up to a few seconds.
// Returns 0 on success, otherwise a SQLite result code (14 when the file cannot be
// opened; the connection's database is then untouched). The connection must be an open
// SQLite connection, and no other thread may use it meanwhile.
int copyDatabase(const TDBConnectionPtr& connection, const std::string& fileName, int toFile,
                 const std::string& schemaName);

// Whether copyDatabase failed because another connection still held the file locked.
bool isLockedResult(int result);

}  // namespace db
