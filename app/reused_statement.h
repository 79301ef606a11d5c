#pragma once
// A statement prepared once and run again and again with new values. Each run rewinds it
// first, so that a lookup that read only its first row presents its own first row the next
// time; one whose handle a failed run dropped is prepared again.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace db {
class TDBConnection;
class TDatabaseQuery;
}  // namespace db

namespace app {

class TReusedStatement {
public:
    TReusedStatement(db::TDBConnection& connection, std::string sql);
    ~TReusedStatement();

    // Runs with the texts and then the numbers bound in order; false when the statement
    // cannot be prepared or the run fails. An error an earlier statement left on the
    // connection is cleared first: it would fail this one too.
    bool Run(std::initializer_list<std::string_view> texts,
             std::initializer_list<std::int64_t> numbers = {});
    bool HasRun() const { return query_ != nullptr; }
    // The last run's rows and what it did.
    db::TDatabaseQuery* operator->() const { return query_.get(); }

private:
    bool Rewind();

    db::TDBConnection& connection_;
    const std::string sql_;
    std::shared_ptr<db::TDatabaseQuery> query_;
};

}  // namespace app
