#pragma once
// Shared helpers of the database tests: an in-memory connection and statements that must succeed.

#include <gtest/gtest.h>

#include <string>

#include "database/sqlite/sqlite.h"

namespace dbtest {

inline std::shared_ptr<db::TDBSQLite> memoryDatabase() {
    auto connection = db::TDBSQLite::Create(":memory:");
    EXPECT_EQ(connection->isOpen(), 1);
    return connection;
}

// Runs statements that must succeed.
inline void run(const std::shared_ptr<db::TDBSQLite>& connection, const std::string& sql) {
    connection->executeQuery(sql);
    ASSERT_EQ(connection->hasError(), 0) << sql << ": " << connection->error()->error;
}

}  // namespace dbtest
