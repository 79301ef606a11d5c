#include "database/query.h"

namespace db {
namespace {

// Statement text without the leading and trailing characters of code 32 or less.
std::string_view trimmed(std::string_view sql) {
    std::size_t begin = 0;
    std::size_t end = sql.size();
    while (begin < end && static_cast<unsigned char>(sql[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(sql[end - 1]) <= 32) --end;
    return sql.substr(begin, end - begin);
}

// False, with the error recorded, when the connection cannot run statements.
bool isOpenFor(TDBConnection& connection) {
    if (connection.isOpen()) return true;
    connection.setError("The connection is not open", "", TDatabaseError::ERROR_CONNECTION, 0);
    return false;
}

int failEmptyStatement(TDBConnection& connection, const char* action) {
    connection.setError(std::string("Cannot ") + action + " empty statement", "",
                        TDatabaseError::ERROR_STATEMENT, 0);
    return 0;
}

}  // namespace

std::shared_ptr<TDatabaseQuery> TDatabaseQuery::Create(const TDBConnectionPtr& connection) {
    auto query = std::make_shared<TDatabaseQuery>();
    query->conn = connection;
    return query;
}

TDatabaseQuery::~TDatabaseQuery() {
    free();
}

void TDatabaseQuery::attachResultSet() {
    if (!resultSet) {
        resultSet = conn->createResultSet();
    } else {
        resultSet->clear();
        resultSet->_isActive = 0;
    }
}

int TDatabaseQuery::prepare(const std::string& sql) {
    if (!conn) return 0;
    attachResultSet();
    if (sql.empty()) return failEmptyStatement(*conn, "prepare");
    resultSet->query = trimmed(sql);
    if (!isOpenFor(*conn)) return 0;
    if (resultSet->prepare(sql) != 1) return 0;
    conn->resetError();
    return 1;
}

int TDatabaseQuery::execute(const std::string& sql) {
    if (!conn) return 0;
    if (sql.empty()) return executePrepared();
    attachResultSet();
    std::string_view text = trimmed(sql);
    if (text.empty()) return failEmptyStatement(*conn, "execute");
    resultSet->query = text;
    if (!isOpenFor(*conn)) return 0;
    if (resultSet->executeQuery(sql) != 1) return 0;
    conn->resetError();
    return 1;
}

int TDatabaseQuery::executePrepared() {
    if (!isOpenFor(*conn)) return 0;
    // Nothing was prepared, or the prepared text held no statement.
    if (!resultSet || !resultSet->stmtHandle) return failEmptyStatement(*conn, "execute");
    if (resultSet->execute() != 1) return 0;
    conn->resetError();
    return 1;
}

TDBTypePtr TDatabaseQuery::value(int i) const {
    return isActive() == 1 && i > -1 ? resultSet->dataValue(i) : nullptr;
}

int TDatabaseQuery::nextRow() {
    if (isActive() == 0) return 0;
    int current = rowIndex();
    if (current == -1) return resultSet->firstRow();
    if (current == -2) return 0;
    if (resultSet->nextRow() == 0) {
        resultSet->setRowIndex(-2);
        resultSet->reset();
        return 0;
    }
    return 1;
}

TQueryRecordPtr TDatabaseQuery::rowRecord() {
    if (!resultSet) return TQueryRecord::Create();
    auto rec = resultSet->rowRecord();
    if (resultSet->isValid() == 1) {
        for (int i = 0; i < rec->count(); ++i) rec->setValue(i, value(i));
    }
    return rec;
}

int TDatabaseQuery::bindValue(int i, const TDBTypePtr& v) {
    if (resultSet) resultSet->bindValue(i, v);
    return 0;
}

int TDatabaseQuery::addBindValue(const TDBTypePtr& v) {
    if (resultSet) resultSet->addBindValue(v);
    return 0;
}

int TDatabaseQuery::clearBindValues() {
    if (resultSet) resultSet->clearBindValues();
    return 0;
}

std::int64_t TDatabaseQuery::lastInsertedId() {
    return resultSet ? resultSet->lastInsertedId() : 0;
}

int TDatabaseQuery::rowsAffected() {
    return resultSet ? resultSet->rowsAffected() : -1;
}

std::shared_ptr<TRowEnumerator> TDatabaseQuery::ObjectEnumerator() {
    return std::make_shared<TRowEnumerator>(shared_from_this());
}

int TDatabaseQuery::free() {
    if (resultSet) {
        resultSet->free();
        resultSet.reset();
    }
    conn.reset();
    return 0;
}

int TRowEnumerator::HasNext() {
    if (!query) return 0;
    int more = query->nextRow();
    if (more == 1) {
        record = query->rowRecord();
        if (record->_isEmptySet == 1) return 0;
    }
    return more;
}

}  // namespace db
