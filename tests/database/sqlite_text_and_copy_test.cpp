// Text on its way through SQLite, and copying whole databases between memory and files.

#include <sqlite3.h>

#include "tests/database/test_support.h"
#include "tests/support/temp_dir.h"

using namespace db;
using dbtest::memoryDatabase;
using dbtest::run;

namespace {

std::string single(const std::shared_ptr<TDBSQLite>& connection, const std::string& sql) {
    auto query = connection->executeQuery(sql);
    EXPECT_EQ(connection->hasError(), 0) << sql << ": " << connection->error()->error;
    return query->nextRow() == 1 ? query->rowRecord()->getString(0) : "<no row>";
}

std::string insertAndReadBack(const std::shared_ptr<TDBSQLite>& connection, const std::string& text) {
    run(connection, "delete from names");
    auto insert = TDatabaseQuery::Create(connection);
    EXPECT_EQ(insert->prepare("insert into names values (?)"), 1);
    insert->setString(0, text);
    EXPECT_EQ(insert->execute(""), 1);
    return single(connection, "select name from names");
}

TEST(SQLiteText, CharactersBeyondTheBasicPlaneAreOneFourByteSequence) {
    auto connection = memoryDatabase();
    run(connection, "create table names (name text)");
    const std::string smile = "\xF0\x9F\x98\x80";
    run(connection, "insert into names values ('" + smile + "')");
    EXPECT_EQ(single(connection, "select name from names"), smile);
    EXPECT_EQ(single(connection, "select hex(name) || ' ' || length(name) from names"), "F09F9880 1");
    EXPECT_EQ(insertAndReadBack(connection, "x" + smile + "y"), "x" + smile + "y");
}

TEST(SQLiteText, BytesThatAreNotUtf8RoundTripExactly) {
    auto connection = memoryDatabase();
    run(connection, "create table names (name text)");
    const std::string odd = std::string("/t/\xFF\xFE-") + "\xC3(\xE2\x80" + "\x80\xC3";
    EXPECT_EQ(insertAndReadBack(connection, odd), odd);
    run(connection, "delete from names");
    run(connection, "insert into names values ('" + odd + "')");
    EXPECT_EQ(single(connection, "select name from names where name = '" + odd + "'"), odd);
}

TEST(SQLiteText, ParagraphSeparatorReadsBackAsLineFeedAndNulBytesAreSkipped) {
    auto connection = memoryDatabase();
    EXPECT_EQ(single(connection, "select 'a\xE2\x80\xA9" "b'"), "a\nb");
    EXPECT_EQ(single(connection, "select 'a' || char(0) || 'b'"), "ab");
    EXPECT_EQ(single(connection, "select 'caf\xC3\xA9 \xE2\x82\xAC'"), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(SQLiteText, Decoders) {
    EXPECT_EQ(decodeUTF8(nullptr), "");
    EXPECT_EQ(decodeUTF8("abc"), "abc");
    EXPECT_EQ(decodeUTF8Bytes("a\0b\xE2\x80\xA9", 6), "ab\n");
    EXPECT_EQ(decodeUTF8Bytes("ab\xE2\x80", 4), "ab\xE2\x80");
    EXPECT_EQ(decodeUTF8Bytes("abc", 0), "");
    EXPECT_EQ(encodeUTF8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(SQLiteText, DoubleQuotedTextIsALiteralWhereNoColumnHasThatName) {
    auto connection = memoryDatabase();
    run(connection, "create table allist (file text)");
    run(connection, "insert into allist values ('C:\\a \"b\"')");
    int enabled = -1;
    sqlite3_db_config(static_cast<sqlite3*>(connection->databaseHandle()), SQLITE_DBCONFIG_DQS_DML, -1, &enabled);
    EXPECT_EQ(enabled, 1);
    auto query = connection->executeQuery("select count(*) from allist where file = \"C:\\a \"\"b\"\"\"");
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_EQ(query->rowRecord()->getInt(0), 1);
    // A double-quoted name that is a column still means the column.
    EXPECT_EQ(single(connection, "select \"file\" from allist"), "C:\\a \"b\"");
}

class CopyDatabaseTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

TEST_F(CopyDatabaseTest, RoundTripThroughAFileReplacesTheWholeContent) {
    auto source = memoryDatabase();
    run(source, "create table allist (file text, ident text)");
    run(source, "create table lastallist (file text, ident text)");
    run(source, "insert into allist values ('/a', '1'), ('/b', '')");
    std::string path = dir / "saved \xFF.db";
    ASSERT_EQ(copyDatabase(source, path, 1, "main"), 0);

    auto target = memoryDatabase();
    run(target, "create table other (x)");
    ASSERT_EQ(copyDatabase(target, path, 0, "main"), 0);
    EXPECT_EQ(target->getTables(), (std::vector<std::string>{"allist", "lastallist"}));
    EXPECT_EQ(single(target, "select group_concat(file || '=' || ident, ';') from allist"), "/a=1;/b=");

    // Saving again overwrites the file whole.
    run(source, "drop table lastallist");
    ASSERT_EQ(copyDatabase(source, path, 1, "main"), 0);
    auto reloaded = memoryDatabase();
    ASSERT_EQ(copyDatabase(reloaded, path, 0, "main"), 0);
    EXPECT_EQ(reloaded->getTables(), std::vector<std::string>{"allist"});
}

TEST_F(CopyDatabaseTest, FileThatCannotBeOpenedLeavesTheConnectionAlone) {
    auto connection = memoryDatabase();
    run(connection, "create table allist (file text)");
    run(connection, "insert into allist values ('kept')");
    EXPECT_EQ(copyDatabase(connection, dir / "missing/dir/data.db", 0, "main"), 14);
    EXPECT_EQ(copyDatabase(connection, dir / "missing/dir/data.db", 1, "main"), 14);
    EXPECT_EQ(single(connection, "select file from allist"), "kept");
    EXPECT_EQ(connection->hasError(), 0);

    // No file name, or a connection that is not open, copies nothing and says so.
    EXPECT_EQ(copyDatabase(connection, "", 0, "main"), 14);
    EXPECT_EQ(single(connection, "select file from allist"), "kept");
    auto closed = TDBSQLite::Create("");
    EXPECT_NE(copyDatabase(closed, dir / "x.db", 1, "main"), 0);
    EXPECT_NE(copyDatabase(nullptr, dir / "x.db", 1, "main"), 0);
}

TEST_F(CopyDatabaseTest, AFileLockedByAnotherConnectionIsNotReportedAsCopied) {
    std::string path = dir / "locked.db";
    auto holder = TDBSQLite::Create(path);
    run(holder, "create table allist (file text)");
    run(holder, "insert into allist values ('on file')");
    run(holder, "BEGIN EXCLUSIVE");
    auto connection = memoryDatabase();
    run(connection, "create table allist (file text)");
    run(connection, "insert into allist values ('in memory')");

    EXPECT_EQ(copyDatabase(connection, path, 1, "main"), 5);  // SQLITE_BUSY
    EXPECT_EQ(copyDatabase(connection, path, 0, "main"), 5);
    EXPECT_EQ(single(connection, "select file from allist"), "in memory");
    ASSERT_EQ(holder->rollback(), 1);
    EXPECT_EQ(single(holder, "select file from allist"), "on file");
}

TEST_F(CopyDatabaseTest, UnknownSchemaIsReported) {
    auto connection = memoryDatabase();
    EXPECT_EQ(copyDatabase(connection, dir / "x.db", 1, "nosuch"), 1);
}

TEST_F(CopyDatabaseTest, SmallPagesAndUtf16TextLoadIntoMemory) {
    std::string path = dir / "old.db";
    {
        auto file = TDBSQLite::Create(path);
        run(file, "PRAGMA page_size = 1024");
        run(file, "PRAGMA encoding = 'UTF-16le'");
        run(file, "create table allist (file text, ident text)");
        ASSERT_EQ(file->startTransaction(), 1);
        for (int i = 0; i < 200; ++i) {
            run(file, "insert into allist values ('C:\\d\\f\xC3\xA9" + std::to_string(i) +
                          "\xF0\x9F\x98\x80', 'x')");
        }
        ASSERT_EQ(file->commit(), 1);
    }
    auto memory = memoryDatabase();
    ASSERT_EQ(copyDatabase(memory, path, 0, "main"), 0);
    EXPECT_EQ(single(memory, "PRAGMA encoding"), "UTF-16le");
    EXPECT_EQ(single(memory, "select count(*) || ''  from allist"), "200");
    EXPECT_EQ(single(memory, "select file from allist where rowid = 8"), "C:\\d\\f\xC3\xA9" "7\xF0\x9F\x98\x80");
    // The loaded database takes new rows and saves back.
    run(memory, "insert into allist values ('new', '')");
    ASSERT_EQ(copyDatabase(memory, path, 1, "main"), 0);
}

}  // namespace
