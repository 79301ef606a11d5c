#pragma once
// Shared helpers of the database tests: an in-memory connection and a scratch directory.

#include "database/sqlite/sqlite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

// A fresh directory for the test's files, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("tervala-db-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace dbtest
