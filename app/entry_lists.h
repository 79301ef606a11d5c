#pragma once
// The two entry lists in the working database: `allist`, the list this logging run builds,
// and `lastallist`, the list of the run before. This module alone writes their SQL and
// turns a path into its stored form and back; callers hand it and get back plain paths.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace db {
class TDBConnection;
class TDatabaseQuery;
}  // namespace db

namespace app {

class TEntryLists;

// One list read row by row in id order. A directory has an empty identity text.
class TListReader {
public:
    // False after the last row.
    bool Next();
    const std::string& Path() const { return path_; }
    const std::string& Ident() const { return ident_; }

private:
    friend class TEntryLists;
    TListReader(std::shared_ptr<db::TDatabaseQuery> query, int fileColumn);

    std::shared_ptr<db::TDatabaseQuery> query_;
    int fileColumn_;
    std::string storedPath_;
    std::string path_;
    std::string ident_;
};

class TEntryLists {
public:
    explicit TEntryLists(db::TDBConnection& tdb) : tdb_(tdb) {}

    // Table set-up; false when the statement failed.
    bool CreatePrevious();
    bool CreateCurrent();
    // Both lists are looked up by path once per row of the comparison.
    void IndexBoth();
    void ClearPrevious();
    void ClearCurrent();

    // The scan's rows. Only the monitored directory's insert is examined: false on failure.
    bool AddDirectory(std::string_view path);
    void AddFile(std::string_view path, std::string_view ident);

    // Whether the current list can be read; the old list of a rotation must be.
    bool CurrentIsReadable();
    // The current list for the rotation, and a row of it copied unchanged into the
    // previous list (a row without a path is left out).
    TListReader ReadOldList();
    void CopyToPrevious(const TListReader& row);

    // The lists for the comparison: the current one is null when its query failed; a
    // previous list that cannot be read reads as empty.
    std::optional<TListReader> ReadCurrent();
    TListReader ReadPrevious();
    // The previous list's identity text for the row's path, when the path is there.
    std::optional<std::string> PreviousIdentOf(const TListReader& row);
    bool InCurrent(const TListReader& row);

private:
    db::TDBConnection& tdb_;
};

}  // namespace app
