#pragma once
// The registry of driver loaders, and opening a connection by driver name.

#include <memory>
#include <string>

#include "database/connection.h"

namespace db {

class TDatabaseLoader {
public:
    TDatabaseLoader() = default;
    TDatabaseLoader(const TDatabaseLoader&) = delete;
    TDatabaseLoader& operator=(const TDatabaseLoader&) = delete;
    virtual ~TDatabaseLoader() = default;

    virtual TDBConnectionPtr LoadDatabase(const std::string& dbname, const std::string& host, int port,
                                          const std::string& user, const std::string& password,
                                          const std::string& server, const std::string& options) = 0;

    std::string _type;  // the driver name the loader answers to
    std::shared_ptr<TDatabaseLoader> _succ;  // the next loader of the registry
};

// Puts the loader first in the registry, unless it is there already. Loaders are
// registered while the program starts, before other threads exist.
int registerDatabaseLoader(const std::shared_ptr<TDatabaseLoader>& loader);

// The connection of the first loader whose driver name matches exactly (case-sensitive)
// and which gives one; Null when none does.
TDBConnectionPtr connectDatabase(const std::string& driverName, const std::string& dbname,
                                 const std::string& host, int port, const std::string& user,
                                 const std::string& password, const std::string& server,
                                 const std::string& options);

}  // namespace db
