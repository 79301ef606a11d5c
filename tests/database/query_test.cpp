// Queries, rows and records: walking rows, the advance fetch, reading values, binding
// parameters and the row enumerator.

#include <sqlite3.h>

#include "tests/database/test_support.h"

using namespace db;
using dbtest::memoryDatabase;
using dbtest::run;

namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        connection = memoryDatabase();
        run(connection, "create table allist (id integer primary key, file text, ident text)");
        run(connection, "insert into allist (file, ident) values ('a', '1'), ('b', '2'), ('c', '3')");
    }

    int vmSteps(const TDatabaseQueryPtr& query) {
        return sqlite3_stmt_status(static_cast<sqlite3_stmt*>(query->resultSet->stmtHandle),
                                   SQLITE_STMTSTATUS_VM_STEP, 0);
    }

    int count() {
        auto query = connection->executeQuery("select count(*) from allist");
        return query->nextRow() == 1 ? query->rowRecord()->getInt(0) : -1;
    }

    std::shared_ptr<TDBSQLite> connection;
};

TEST_F(QueryTest, RowsInOrderWithTheFirstFetchedInAdvance) {
    auto query = connection->executeQuery("select file,ident from allist order by id asc");
    EXPECT_EQ(query->isActive(), 1);
    EXPECT_EQ(query->rowIndex(), 0);
    int stepsAfterExecute = vmSteps(query);

    std::vector<std::string> files;
    std::vector<int> indexes;
    while (query->nextRow() == 1) {
        if (files.empty()) {
            EXPECT_EQ(vmSteps(query), stepsAfterExecute);  // presented, not stepped
        }
        files.push_back(query->rowRecord()->getString(0));
        indexes.push_back(query->rowIndex());
    }
    EXPECT_EQ(files, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2}));

    // After the end the statement starts again, presenting its first row twice.
    EXPECT_EQ(query->rowIndex(), -1);
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_EQ(query->rowRecord()->getString(0), "a");
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_EQ(query->rowRecord()->getString(0), "a");
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_EQ(query->rowRecord()->getString(0), "b");
}

TEST_F(QueryTest, NoRowsGivesColumnsWithoutValues) {
    auto query = TDatabaseQuery::Create(connection);
    ASSERT_EQ(query->execute("select file, ident from allist where id > 99"), 1);
    EXPECT_EQ(query->nextRow(), 0);
    auto record = query->rowRecord();
    EXPECT_EQ(record->count(), 2);
    EXPECT_EQ(record->isEmpty(), 0);
    EXPECT_EQ(record->_isEmptySet, 1);
    EXPECT_EQ(record->getField(1)->name, "ident");
    EXPECT_FALSE(record->value(0));
    EXPECT_FALSE(query->value(0));
}

TEST_F(QueryTest, AChangingStatementSteppedAgainRunsAgain) {
    auto insert = connection->executeQuery("insert into allist (file) values ('d')");
    EXPECT_EQ(connection->hasError(), 0);
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(insert->lastInsertedId(), 4);
    EXPECT_EQ(insert->rowsAffected(), 1);
    EXPECT_EQ(insert->nextRow(), 0);
    EXPECT_EQ(count(), 5);
}

TEST_F(QueryTest, ValuesByStorageClass) {
    run(connection, "create table mixed (i integer, r real, t text, b blob, n text)");
    run(connection, "insert into mixed values (42, 1.5, '', x'00ff', null)");
    auto query = connection->executeQuery("select i, r, t, b, n, i as \"allist.alias\" from mixed");
    ASSERT_EQ(query->nextRow(), 1);
    auto record = query->rowRecord();

    auto integer = record->value(0);
    ASSERT_TRUE(integer);
    EXPECT_EQ(integer->kind(), KIND_LONG);
    EXPECT_EQ(integer->getString(), "");
    EXPECT_EQ(record->getInt(0), 42);
    EXPECT_EQ(record->getField(0)->fType, KIND_LONG);

    EXPECT_EQ(record->value(1)->kind(), KIND_DOUBLE);
    EXPECT_EQ(record->getDoubleByName("r"), "1.5000000000000000");
    EXPECT_EQ(record->getDoubleByName("missing"), "");

    auto emptyText = record->value(2);
    ASSERT_TRUE(emptyText);
    EXPECT_EQ(emptyText->kind(), KIND_STRING);
    EXPECT_EQ(emptyText->isNull(), 1);
    EXPECT_EQ(emptyText->getString(), "");

    auto blob = record->value(3);
    ASSERT_EQ(blob->size(), 2);
    EXPECT_EQ(static_cast<const unsigned char*>(blob->getBlob())[1], 0xFF);

    EXPECT_FALSE(record->value(4));
    EXPECT_EQ(record->getString(4), "");
    EXPECT_FALSE(record->value(6));
    EXPECT_FALSE(record->value(-1));

    // A name reported with a table prefix is found by the column name alone.
    EXPECT_EQ(record->getIntByName("alias"), 42);
    EXPECT_EQ(record->indexOf("alias"), 5);
}

TEST_F(QueryTest, ValueObjectsDoNotOutliveTheirRow) {
    auto query = connection->executeQuery("select file from allist order by id");
    ASSERT_EQ(query->nextRow(), 1);
    auto first = query->value(0);
    std::string copied = first->getString();
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_EQ(first->isNull(), 1);
    EXPECT_EQ(first->getString(), "");
    EXPECT_EQ(copied, "a");
    EXPECT_EQ(query->value(0)->getString(), "b");
}

TEST_F(QueryTest, NullColumnKeepsTheClearedObjectOfThePreviousRow) {
    run(connection, "insert into allist (file, ident) values ('d', null)");
    auto query = connection->executeQuery("select ident from allist order by id desc");
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_FALSE(query->value(0));  // NULL on the first row
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_EQ(query->value(0)->getString(), "3");
}

TEST_F(QueryTest, DuplicateColumnNames) {
    auto query = connection->executeQuery("select file as x, ident as x from allist where id = 1");
    ASSERT_EQ(query->nextRow(), 1);
    auto record = query->rowRecord();
    EXPECT_EQ(record->indexOf("x"), 0);
    EXPECT_EQ(record->getStringByName("x"), "1");
    EXPECT_EQ(record->getFieldByName("nothing"), nullptr);
}

TEST_F(QueryTest, EmptyAndBlankStatements) {
    auto query = TDatabaseQuery::Create(connection);
    EXPECT_EQ(query->execute(" \t\r\n "), 0);
    EXPECT_EQ(connection->error()->error, "Cannot execute empty statement");
    EXPECT_EQ(connection->error()->errorType, TDatabaseError::ERROR_STATEMENT);
    EXPECT_EQ(query->prepare(""), 0);
    EXPECT_EQ(connection->error()->error, "Cannot prepare empty statement");

    // Running with nothing prepared is an error, not a silent success.
    auto fresh = TDatabaseQuery::Create(connection);
    EXPECT_EQ(fresh->execute(""), 0);
    EXPECT_EQ(connection->error()->error, "Cannot execute empty statement");

    // A text of comments only holds no statement: it has no rows.
    connection->executeQuery("-- nothing here");
    EXPECT_EQ(connection->hasError(), 0);
}

TEST_F(QueryTest, ReusingAQueryForAnotherStatementGivesItsColumns) {
    auto query = TDatabaseQuery::Create(connection);
    ASSERT_EQ(query->execute("select file from allist where id = 1"), 1);
    ASSERT_EQ(query->nextRow(), 1);
    auto record = query->rowRecord();
    ASSERT_EQ(query->execute("select ident, id, file from allist where id = 2"), 1);
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_EQ(query->rowRecord(), record);  // the same record object, now with three columns
    EXPECT_EQ(record->count(), 3);
    EXPECT_EQ(record->getString(0), "2");
    EXPECT_EQ(record->getString(2), "b");
}

TEST_F(QueryTest, PreparedStatementWithParameters) {
    auto query = TDatabaseQuery::Create(connection);
    ASSERT_EQ(query->prepare("insert into allist (file, ident) values (?, ?)"), 1);
    query->setString(0, "it's \"quoted\"");
    query->setString(1, "");
    ASSERT_EQ(query->execute(""), 1);
    // Binding a new value clears the old one; the same object may be bound again.
    auto path = TDBString::Set("e");
    query->bindValue(0, path);
    query->bindValue(0, path);
    query->setLong(1, 7);
    ASSERT_EQ(query->execute(""), 1);
    EXPECT_EQ(path->getString(), "e");

    auto check = connection->executeQuery("select file, ident from allist where id > 3 order by id");
    ASSERT_EQ(check->nextRow(), 1);
    EXPECT_EQ(check->rowRecord()->getString(0), "it's \"quoted\"");
    EXPECT_FALSE(check->value(1));  // an empty text is bound as NULL
    ASSERT_EQ(check->nextRow(), 1);
    EXPECT_EQ(check->rowRecord()->getString(0), "e");
    EXPECT_EQ(check->rowRecord()->getString(1), "7");  // the text column stored the number as text
}

TEST_F(QueryTest, ParameterCountMismatchAndGaps) {
    auto query = TDatabaseQuery::Create(connection);
    ASSERT_EQ(query->prepare("select ? , ?"), 1);
    query->addString("x");
    query->addInt(1);
    query->addDouble(2.0);
    EXPECT_EQ(query->execute(""), 0);
    EXPECT_EQ(connection->error()->error, "Parameter count mismatch");
    EXPECT_EQ(connection->error()->errorValue, 0);

    // Appending after a completed execution counts on from the earlier values.
    ASSERT_EQ(query->prepare("select ?"), 1);
    query->addString("x");
    ASSERT_EQ(query->execute(""), 1);
    query->addString("y");
    EXPECT_EQ(query->execute(""), 0);
    EXPECT_EQ(connection->error()->error, "Parameter count mismatch");

    // Unset positions below the highest one are bound as NULL.
    ASSERT_EQ(query->prepare("select ?, ?, ?, ?"), 1);
    query->setInt(3, 9);
    EXPECT_EQ(query->resultSet->bindCount, 4);
    ASSERT_EQ(query->execute(""), 1);
    ASSERT_EQ(query->nextRow(), 1);
    EXPECT_FALSE(query->value(0));
    EXPECT_EQ(query->value(3)->getLong(), 9);
}

TEST_F(QueryTest, EnumeratorWalksRowsAsARange) {
    auto query = connection->executeQuery("select file from allist order by id");
    std::string files;
    for (const auto& record : query->ObjectEnumerator()) files += record->getString(0);
    EXPECT_EQ(files, "abc");

    auto none = connection->executeQuery("select file from allist where id = 0");
    auto rows = none->ObjectEnumerator();
    EXPECT_EQ(rows->HasNext(), 0);
}

TEST_F(QueryTest, QueriesWithoutAResultSetAnswerDefaults) {
    auto query = TDatabaseQuery::Create(connection);
    EXPECT_EQ(query->nextRow(), 0);
    EXPECT_EQ(query->rowIndex(), -1);
    EXPECT_EQ(query->rowsAffected(), -1);
    EXPECT_EQ(query->lastInsertedId(), 0);
    EXPECT_EQ(query->rowRecord()->isEmpty(), 1);
    EXPECT_EQ(query->setString(0, "x"), 0);
    query->free();
    EXPECT_FALSE(query->conn);
    EXPECT_EQ(query->execute("select 1"), 0);
}

TEST_F(QueryTest, DroppedQueriesLeaveTheRegistry) {
    auto kept = connection->executeQuery("select file from allist");
    for (int i = 0; i < 1000; ++i) {
        connection->executeQuery("select ident from allist where file = 'a'");
        auto failed = connection->executeQuery("select nothing from nowhere");
    }
    EXPECT_EQ(connection->queries.size(), 1u);
    ASSERT_EQ(kept->nextRow(), 1);
    kept.reset();
    EXPECT_TRUE(connection->queries.empty());
}

}  // namespace
