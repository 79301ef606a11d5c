// The way the application drives the layer: a working database in memory, rows inserted
// inside a transaction, looked up by path, and the whole database saved and loaded.

#include "tests/database/test_support.h"
#include "tests/support/temp_dir.h"

using dbtest::memoryDatabase;
using dbtest::run;

namespace {

std::vector<std::string> column0(const std::shared_ptr<db::TDBSQLite>& connection, const std::string& sql) {
    std::vector<std::string> texts;
    auto query = connection->executeQuery(sql);
    EXPECT_EQ(connection->hasError(), 0) << connection->error()->error;
    while (query->nextRow() == 1) {
        auto v = query->rowRecord()->value(0);
        texts.push_back(v ? v->getString() : "<null>");
    }
    return texts;
}

TEST(WorkingDatabase, InsertsInATransactionAndLooksUpByQuotedPath) {
    db::initSQLiteDriver();
    auto connection = std::dynamic_pointer_cast<db::TDBSQLite>(
        db::connectDatabase("SQLITE", ":memory:", "", 0, "", "", "", ""));
    ASSERT_TRUE(connection);
    run(connection, "create table allist (id integer primary key, file text, ident text)");
    ASSERT_EQ(connection->startTransaction(), 1);
    run(connection, "insert into allist (file, ident) values ('C:\\t\\a.txt', '12')");
    run(connection, "insert into allist (file, ident) values ('C:\\t\\it''s', '')");
    ASSERT_EQ(connection->commit(), 1);

    // Double quotes read as text where no column has that name.
    auto query = connection->executeQuery("select file, ident from allist where file = \"C:\\t\\a.txt\"");
    ASSERT_EQ(connection->hasError(), 0) << connection->error()->error;
    ASSERT_EQ(query->nextRow(), 1);
    auto record = query->rowRecord();
    EXPECT_EQ(record->value(0)->getString(), "C:\\t\\a.txt");
    EXPECT_EQ(record->getString(1), "12");
    EXPECT_EQ(query->nextRow(), 0);

    // A doubled quote inside the literal is one quote; an empty text reads back empty.
    EXPECT_EQ(column0(connection, "select ident from allist where file = 'C:\\t\\it''s'"),
              std::vector<std::string>{""});
}

TEST(WorkingDatabase, ADatabaseRestrictedToDataFiresNoTriggerOfALoadedFile) {
    testsupport::TempDir dir;
    auto foreign = memoryDatabase();
    run(foreign, "create table allist (file text, ident text)");
    run(foreign, "create table lastallist (file text, ident text)");
    run(foreign, "create trigger forget after insert on allist begin delete from lastallist; end");
    run(foreign, "insert into lastallist values ('/kept', '1')");
    ASSERT_EQ(db::copyDatabase(foreign, dir / "foreign.db", 1, "main"), 0);

    auto working = db::TDBSQLite::CreateTemporary();
    ASSERT_EQ(working->restrictToData(), 1);
    ASSERT_EQ(db::copyDatabase(working, dir / "foreign.db", 0, "main"), 0);
    run(working, "insert into allist values ('/new', '2')");
    EXPECT_EQ(column0(working, "select file from lastallist"), std::vector<std::string>{"/kept"});
    // The schema's own statements still cannot be rewritten by a statement.
    working->executeQuery("PRAGMA writable_schema = ON");
    working->executeQuery("update sqlite_master set sql = '' where name = 'allist'");
    EXPECT_EQ(working->hasError(), 1);
    auto closed = db::TDBSQLite::CreateTemporary();
    closed->close();
    EXPECT_EQ(closed->restrictToData(), 0);
}

TEST(WorkingDatabase, RollbackDropsTheRows) {
    auto connection = memoryDatabase();
    run(connection, "create table t (a text)");
    ASSERT_EQ(connection->startTransaction(), 1);
    run(connection, "insert into t values ('x')");
    ASSERT_EQ(connection->rollback(), 1);
    EXPECT_TRUE(column0(connection, "select a from t").empty());
}

TEST(WorkingDatabase, SavesAndLoadsTheWholeDatabase) {
    testsupport::TempDir dir;
    auto saved = memoryDatabase();
    run(saved, "create table allist (file text, ident text)");
    run(saved, "create table lastallist (file text, ident text)");
    run(saved, "insert into allist values ('/a', '1')");
    run(saved, "insert into lastallist values ('/b', '2')");
    ASSERT_EQ(db::copyDatabase(saved, dir / "data.db", 1, "main"), 0);

    auto loaded = memoryDatabase();
    ASSERT_EQ(db::copyDatabase(loaded, dir / "data.db", 0, "main"), 0);
    EXPECT_EQ(column0(loaded, "select file from allist"), std::vector<std::string>{"/a"});
    EXPECT_EQ(column0(loaded, "select ident from lastallist"), std::vector<std::string>{"2"});
}

}  // namespace

namespace {

TEST(WorkingDatabase, ATemporaryDatabaseIsPrivateOutgrowsItsCacheAndSavesLikeAnyOther) {
    auto first = db::TDBSQLite::CreateTemporary();
    auto second = db::TDBSQLite::CreateTemporary();
    ASSERT_EQ(first->isOpen(), 1);
    ASSERT_EQ(second->isOpen(), 1);
    run(first, "PRAGMA cache_size = 8");  // pages: what is written beyond goes to its file
    run(first, "create table allist (id integer primary key, file text, ident text)");
    run(second, "create table other (x)");
    ASSERT_EQ(first->startTransaction(), 1);
    auto insert = db::TDatabaseQuery::Create(first);
    ASSERT_EQ(insert->prepare("insert into allist (file, ident) values (?, ?)"), 1);
    for (int i = 0; i < 5000; ++i) {
        insert->clearBindValues();
        insert->addString("/t/" + std::string(200, 'x') + std::to_string(i));
        insert->addString(std::to_string(i));
        ASSERT_EQ(insert->execute(), 1);
    }
    insert->free();
    ASSERT_EQ(first->commit(), 1);
    EXPECT_EQ(column0(first, "select cast(count(*) as text) from allist"), std::vector<std::string>{"5000"});
    EXPECT_EQ(column0(second, "select cast(count(*) as text) from sqlite_master where name = 'allist'"),
              std::vector<std::string>{"0"});

    testsupport::TempDir dir;
    const std::string file = dir.path() + "/saved";
    ASSERT_EQ(db::copyDatabase(first, file, 1, "main"), 0);
    auto loaded = db::TDBSQLite::CreateTemporary();
    ASSERT_EQ(db::copyDatabase(loaded, file, 0, "main"), 0);
    EXPECT_EQ(column0(loaded, "select ident from allist where id = 5000"), std::vector<std::string>{"4999"});
}

}  // namespace
