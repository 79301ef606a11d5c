#include "database/loader.h"

namespace db {
namespace {

std::shared_ptr<TDatabaseLoader>& registryHead() {
    static std::shared_ptr<TDatabaseLoader> head;
    return head;
}

}  // namespace

int registerDatabaseLoader(const std::shared_ptr<TDatabaseLoader>& loader) {
    if (!loader) return 0;
    auto& head = registryHead();
    for (auto l = head; l; l = l->_succ) {
        if (l == loader) return 0;
    }
    loader->_succ = head;
    head = loader;
    return 0;
}

TDBConnectionPtr connectDatabase(const std::string& driverName, const std::string& dbname,
                                 const std::string& host, int port, const std::string& user,
                                 const std::string& password, const std::string& server,
                                 const std::string& options) {
    for (auto l = registryHead(); l; l = l->_succ) {
        if (l->_type != driverName) continue;
        if (auto connection = l->LoadDatabase(dbname, host, port, user, password, server, options)) {
            return connection;
        }
    }
    return nullptr;
}

}  // namespace db
