#include "app/reused_statement.h"

#include "database/connection.h"
#include "database/query.h"

namespace app {

TReusedStatement::TReusedStatement(db::TDBConnection& connection, std::string sql)
    : connection_(connection), sql_(std::move(sql)) {}

TReusedStatement::~TReusedStatement() = default;

bool TReusedStatement::Run(std::initializer_list<std::string_view> texts,
                           std::initializer_list<std::int64_t> numbers) {
    if (!Rewind()) return false;
    for (const std::string_view text : texts) query_->addString(std::string(text));
    for (const std::int64_t number : numbers) query_->addLong(number);
    connection_.resetError();
    return query_->execute() == 1;
}

bool TReusedStatement::Rewind() {
    if (!query_ || !query_->resultSet || !query_->resultSet->stmtHandle) {
        query_ = db::TDatabaseQuery::Create(connection_.shared_from_this());
        if (query_->prepare(sql_) != 1) return false;
    } else {
        query_->resultSet->reset();
    }
    query_->clearBindValues();
    return true;
}

}  // namespace app
