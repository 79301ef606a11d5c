#pragma once
// The stored lists followed in step with the scan. While the scan finds the stored current
// list row for row, nothing needs writing yet; when the scan ends with the whole list found
// and the stored previous list already holds it as the rotation would copy it, the run has
// nothing to write at all.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace db {
class TDBConnection;
class TDatabaseQuery;
}  // namespace db

namespace app {

class TListMatch {
public:
    // Reads the stored lists of this connection from their first rows.
    explicit TListMatch(db::TDBConnection& stored);
    TListMatch(const TListMatch&) = delete;
    TListMatch& operator=(const TListMatch&) = delete;
    ~TListMatch();

    // The scan's next row (no identity for a directory): whether the stored current list
    // holds exactly it next. After the first false nothing more is followed.
    bool Next(std::string_view path, const std::string* ident);
    // The rows found so far.
    std::int64_t Found() const { return found_; }
    // After the scan: whether the stored current list holds no row beyond those found.
    bool WholeListFound();
    // Whether the stored previous list is the found list as the rotation copies it, and
    // holds nothing beyond it.
    bool PreviousIsTheSame();
    // Whether a read of the stored lists failed: what was not read is no difference.
    bool Failed() const;

private:
    // One list read in id order: the row's path, identity and form (see sql_text.h).
    struct TReader {
        std::shared_ptr<db::TDatabaseQuery> rows;
        std::string path;
        std::string ident;
        int form = 0;
        bool failed = false;
        bool Next(db::TDBConnection& connection);
    };

    db::TDBConnection& stored_;
    TReader current_;
    TReader previous_;
    std::int64_t found_ = 0;
    bool following_ = true;
    bool previousSame_ = true;
};

}  // namespace app
