#include "database/sqlite/sqlite_loader.h"

#include "database/sqlite/sqlite_connection.h"

namespace db {

TDBConnectionPtr TSQLiteDatabaseLoader::LoadDatabase(const std::string& dbname, const std::string& host, int port,
                                                     const std::string& user, const std::string& password,
                                                     const std::string& server, const std::string& options) {
    return TDBSQLite::Create(dbname, host, port, user, password, server, options);
}

void initSQLiteDriver() {
    static const bool registered = [] {
        registerDatabaseLoader(std::make_shared<TSQLiteDatabaseLoader>());
        return true;
    }();
    (void)registered;
}

}  // namespace db
