#pragma once
// The loader that answers to the driver name "SQLITE", and the driver module's start-up.

#include "database/loader.h"

namespace db {

class TSQLiteDatabaseLoader : public TDatabaseLoader {
public:
    TSQLiteDatabaseLoader() { _type = "SQLITE"; }
    TDBConnectionPtr LoadDatabase(const std::string& dbname, const std::string& host, int port,
                                  const std::string& user, const std::string& password, const std::string& server,
                                  const std::string& options) override;
};

// Registers the SQLite loader, once however often it is called. The program calls it
// first thing at start-up, before connectDatabase() and before other threads exist.
void initSQLiteDriver();

}  // namespace db
