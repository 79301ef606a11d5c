#pragma once
// The two entry lists in the working database: `allist`, the list this logging run builds,
// and `lastallist`, the list of the run before. This module alone writes their SQL and
// turns a path into its stored form and back; callers hand it and get back plain paths.
// Row statements are prepared once per object and run with bound values, so one object
// serves one step of a run and is gone before a worker takes the connection.

#include <initializer_list>
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
    TEntryLists(const TEntryLists&) = delete;
    TEntryLists& operator=(const TEntryLists&) = delete;
    ~TEntryLists();

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
    // The previous list's rows below a directory that could not be read, copied into the
    // current list in their previous order, so that nothing below it counts as changed.
    // The number of rows copied.
    int KeepPreviousBelow(std::string_view directory);

    // Whether both lists are tables that can be read: a datafile is accepted only then. A
    // view in their place could compute anything, even rows without end.
    bool BothAreReadableTables();
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

    // The row count and a hash of every row (id, path and identity) of the current list:
    // ids are never given twice, so it tells one saved list from every other. The empty
    // text when the list cannot be read.
    std::string CurrentFingerprint();

private:
    using TStatement = std::shared_ptr<db::TDatabaseQuery>;
    // Runs the statement with these texts bound in order, preparing it first when it is
    // not prepared yet (a failed run drops what was prepared); false when it failed.
    bool Run(TStatement& statement, const char* sql,
             std::initializer_list<std::string_view> values);

    db::TDBConnection& tdb_;
    TStatement insertDirectory_;
    TStatement insertFile_;
    TStatement insertPrevious_;
    TStatement keepPrevious_;
    TStatement lookupPrevious_;
    TStatement lookupCurrent_;
};

}  // namespace app
