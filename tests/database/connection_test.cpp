// Connections: the error record and its texts, transactions, schema listing and the
// loader registry.

#include <sqlite3.h>

#include "tests/database/test_support.h"
#include "tests/support/temp_dir.h"

using namespace db;
using dbtest::memoryDatabase;
using dbtest::run;

namespace {

TEST(ConnectionErrors, FreshRecordAndComposition) {
    auto connection = memoryDatabase();
    EXPECT_EQ(connection->hasError(), 0);
    EXPECT_FALSE(connection->_lastError);
    auto record = connection->error();
    EXPECT_EQ(record->isSet(), 0);
    EXPECT_EQ(record->toString(), "(0)  : ");

    // The first error made on a connection has the value suffix; later ones replace the
    // text in place without it.
    auto other = memoryDatabase();
    other->setError("Bad thing", "native words", TDatabaseError::ERROR_STATEMENT, 5);
    EXPECT_EQ(other->error()->error, "Bad thing : native words (5) ");
    EXPECT_EQ(other->error()->errorType, 3);
    other->setError("Other thing", "", TDatabaseError::ERROR_TRANSACTION, 0);
    EXPECT_EQ(other->error()->error, "Other thing");
    EXPECT_EQ(other->error()->errorType, 1);
    EXPECT_EQ(other->error()->errorValue, 0);
    other->resetError();
    EXPECT_EQ(other->hasError(), 0);
    other->free();
    EXPECT_FALSE(other->_lastError);
}

TEST(ConnectionErrors, FailedOpenInMissingDirectory) {
    auto connection = TDBSQLite::Create("/nonexistent-dir-of-tervala/x/data.db");
    EXPECT_EQ(connection->isOpen(), 0);
    EXPECT_EQ(connection->databaseHandle(), nullptr);
    ASSERT_EQ(connection->hasError(), 1);
    EXPECT_EQ(connection->error()->errorValue, 14);
    EXPECT_EQ(connection->error()->errorType, TDatabaseError::ERROR_CONNECTION);
    EXPECT_EQ(connection->error()->toString(),
              "(2) Error opening database (14)  : Unable To open the database file");
}

TEST(ConnectionErrors, EmptyNameGivesClosedConnectionWithoutError) {
    auto connection = TDBSQLite::Create("");
    EXPECT_EQ(connection->isOpen(), 0);
    EXPECT_EQ(connection->hasError(), 0);
    EXPECT_EQ(connection->getDatabaseName(), "");
}

TEST(ConnectionErrors, NativeMessages) {
    auto connection = memoryDatabase();
    EXPECT_EQ(connection->nativeErrorMessage(0), "Successful result");
    EXPECT_EQ(connection->nativeErrorMessage(14), "Unable To open the database file");
    EXPECT_EQ(connection->nativeErrorMessage(23), "Authorization denied");
    EXPECT_EQ(connection->nativeErrorMessage(24), "");
    EXPECT_EQ(connection->nativeErrorMessage(101), "sqlite_step() has finished executing");
    EXPECT_EQ(connection->nativeErrorMessage(SQLITE_IOERR_READ), "");
    EXPECT_EQ(connection->nativeErrorMessage(-1), "");
}

TEST(ConnectionErrors, ExecuteQueryClearsTheErrorFirst) {
    auto connection = memoryDatabase();
    auto failed = connection->executeQuery("selec 1");
    EXPECT_TRUE(failed);
    ASSERT_EQ(connection->hasError(), 1);
    // The connection's very first error keeps SQLite's code as a suffix.
    EXPECT_EQ(connection->error()->error, "Error preparing statement : near \"selec\": syntax error (1) ");
    EXPECT_EQ(connection->error()->errorType, 3);
    EXPECT_EQ(connection->error()->errorValue, 1);

    auto empty = connection->executeQuery("");
    EXPECT_TRUE(empty);
    EXPECT_EQ(connection->hasError(), 0);
    EXPECT_EQ(empty->isActive(), 0);

    // A failure while stepping records SQLite's own message, in place.
    run(connection, "create table t (a integer unique)");
    run(connection, "insert into t values (1)");
    connection->executeQuery("insert into t values (1)");
    ASSERT_EQ(connection->hasError(), 1);
    EXPECT_EQ(connection->error()->error, "UNIQUE constraint failed: t.a");
    EXPECT_EQ(connection->error()->errorValue, SQLITE_CONSTRAINT);
}

TEST(Transactions, ClosedConnectionAndFailingCommit) {
    auto closed = TDBSQLite::Create("");
    EXPECT_EQ(closed->commit(), 0);
    EXPECT_EQ(closed->startTransaction(), 0);
    EXPECT_EQ(closed->rollback(), 0);
    EXPECT_FALSE(closed->_lastError);

    auto connection = memoryDatabase();
    connection->executeQuery("select 1");  // makes the record, so the error below is replaced in place
    EXPECT_EQ(connection->commit(), 0);
    EXPECT_EQ(connection->error()->error,
              "Error committing transaction : cannot commit - no transaction is active");
    EXPECT_EQ(connection->error()->errorType, TDatabaseError::ERROR_TRANSACTION);
    EXPECT_EQ(connection->error()->errorValue, 0);

    ASSERT_EQ(connection->startTransaction(), 1);
    EXPECT_EQ(connection->startTransaction(), 0);
    EXPECT_EQ(connection->error()->error,
              "Error starting transaction : cannot start a transaction within a transaction");
    EXPECT_EQ(connection->rollback(), 1);
}

TEST(Transactions, CommitResetsStatementsStillReading) {
    auto connection = memoryDatabase();
    run(connection, "create table t (a integer)");
    run(connection, "insert into t values (1), (2), (3)");
    auto reading = connection->executeQuery("select a from t");
    ASSERT_EQ(reading->nextRow(), 1);
    ASSERT_EQ(connection->startTransaction(), 1);
    run(connection, "insert into t values (4)");
    EXPECT_EQ(connection->commit(), 1);
    // The reader was reset: its rows start again from the first.
    ASSERT_EQ(reading->nextRow(), 1);
    EXPECT_EQ(reading->rowRecord()->getInt(0), 1);
}

TEST(Schema, TablesAndTableInfo) {
    EXPECT_TRUE(TDBSQLite::Create("")->getTables().empty());
    EXPECT_FALSE(TDBSQLite::Create("")->getTableInfo("t", 1));

    auto connection = memoryDatabase();
    EXPECT_TRUE(connection->getTables().empty());
    run(connection, "create table allist (id integer not null, file varchar(20) default 'none', size numeric(10))");
    run(connection, "create temp table scratch (x blob)");
    EXPECT_EQ(connection->getTables(), (std::vector<std::string>{"allist", "scratch"}));

    auto table = connection->getTableInfo("allist", 0);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->name, "allist");
    EXPECT_EQ(table->ddl, "");
    ASSERT_EQ(table->columns.size(), 3u);
    EXPECT_EQ(table->columns[0]->name, "id");
    EXPECT_EQ(table->columns[0]->dbType, KIND_LONG);
    EXPECT_EQ(table->columns[0]->nullable, 1);  // SQLite's not-null flag
    EXPECT_FALSE(table->columns[0]->defaultValue);
    EXPECT_EQ(table->columns[1]->dbType, KIND_STRING);
    // The default is the column's own value, still readable after the query has ended.
    ASSERT_TRUE(table->columns[1]->defaultValue);
    EXPECT_EQ(table->columns[1]->defaultValue->getString(), "'none'");
    EXPECT_EQ(table->columns[2]->dbType, KIND_DOUBLE);

    auto withDdl = connection->getTableInfo("allist", 1);
    EXPECT_EQ(withDdl->ddl,
              "CREATE TABLE allist (id integer not null, file varchar(20) default 'none', size numeric(10));\n\n");
}

TEST(Schema, AnErrorStillSetFailsTheListing) {
    auto connection = memoryDatabase();
    run(connection, "create table t (a text)");
    connection->setError("left over", "", TDatabaseError::ERROR_STATEMENT, 0);
    EXPECT_TRUE(connection->getTables().empty());
    EXPECT_FALSE(connection->getTableInfo("t", 0));
}

TEST(Schema, DeclaredTypesToKinds) {
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("NUMERIC(10,2)", 0, 0), KIND_DOUBLE);
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("Integer", 0, 0), KIND_LONG);
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("INT", 0, 0), KIND_LONG);
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("bigint", 0, 0), KIND_STRING);
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("FLOAT", 0, 0), KIND_DOUBLE);
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("blob", 0, 0), KIND_BLOB);
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("real", 0, 0), KIND_STRING);
    EXPECT_EQ(TSQLiteResultSet::dbTypeFromNative("", 0, 0), KIND_STRING);
}

class CountingLoader : public TDatabaseLoader {
public:
    explicit CountingLoader(std::string type, bool answers) : answers_(answers) { _type = std::move(type); }
    TDBConnectionPtr LoadDatabase(const std::string& dbname, const std::string&, int, const std::string&,
                                  const std::string&, const std::string&, const std::string&) override {
        ++calls;
        return answers_ ? TDBSQLite::Create(dbname) : nullptr;
    }
    int calls = 0;

private:
    bool answers_;
};

TEST(Loaders, ConnectByExactDriverName) {
    initSQLiteDriver();
    initSQLiteDriver();
    auto connection = connectDatabase("SQLITE", ":memory:", "", 0, "", "", "", "");
    ASSERT_TRUE(std::dynamic_pointer_cast<TDBSQLite>(connection));
    EXPECT_EQ(connection->isOpen(), 1);
    EXPECT_FALSE(connectDatabase("sqlite", ":memory:", "", 0, "", "", "", ""));
    EXPECT_FALSE(connectDatabase("NOSUCH", ":memory:", "", 0, "", "", "", ""));
}

TEST(Loaders, NewestFirstAndRegisteredOnce) {
    auto refusing = std::make_shared<CountingLoader>("TESTDRIVER", false);
    auto answering = std::make_shared<CountingLoader>("TESTDRIVER", true);
    registerDatabaseLoader(answering);
    registerDatabaseLoader(refusing);
    registerDatabaseLoader(refusing);
    // The newest (refusing) loader is asked first, once, then the next one answers.
    EXPECT_TRUE(connectDatabase("TESTDRIVER", ":memory:", "", 0, "", "", "", ""));
    EXPECT_EQ(refusing->calls, 1);
    EXPECT_EQ(answering->calls, 1);
}

TEST(ConnectionLifetime, ReleasingAnOpenConnectionClosesItsDatabase) {
    testsupport::TempDir dir;
    std::string path = dir / "locked.db";
    auto holder = TDBSQLite::Create(path);
    run(holder, "create table t (a text)");
    ASSERT_EQ(holder->startTransaction(), 1);
    run(holder, "insert into t values ('x')");  // holds the write lock
    holder.reset();

    auto other = TDBSQLite::Create(path);
    run(other, "insert into t values ('y')");
    auto count = other->executeQuery("select count(*) from t");
    ASSERT_EQ(count->nextRow(), 1);
    EXPECT_EQ(count->rowRecord()->getInt(0), 1);  // the unfinished transaction was rolled back
}

TEST(ConnectionLifetime, CloseFinalisesLiveQueriesAndReopens) {
    auto connection = memoryDatabase();
    run(connection, "create table t (a text)");
    auto live = connection->executeQuery("select a from t");
    EXPECT_EQ(connection->queries.size(), 1u);
    connection->close();
    EXPECT_EQ(connection->isOpen(), 0);
    EXPECT_EQ(connection->hasError(), 0);
    EXPECT_TRUE(connection->queries.empty());
    ASSERT_TRUE(live->resultSet);
    EXPECT_EQ(live->resultSet->stmtHandle, nullptr);
    EXPECT_EQ(live->nextRow(), 0);

    // A closed query runs nothing and says why.
    EXPECT_EQ(live->prepare("select 1"), 0);
    EXPECT_EQ(connection->error()->error, "The connection is not open");
    EXPECT_EQ(connection->error()->errorType, TDatabaseError::ERROR_CONNECTION);

    EXPECT_EQ(connection->open("", ""), 1);
    connection->resetError();  // a query's execution fails while an earlier error is set
    EXPECT_EQ(live->execute("select 7"), 1);
    ASSERT_EQ(live->nextRow(), 1);
    EXPECT_EQ(live->value(0)->getInt(), 7);
}

}  // namespace
