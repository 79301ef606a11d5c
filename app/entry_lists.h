#pragma once
// The two entry lists in the working database: `allist`, the list this logging run builds,
// and `lastallist`, the list of the run before. This module alone writes their SQL and
// turns a path into its stored form and back; callers hand it and get back plain paths.
// Row statements are prepared once per object and run with bound values, so one object
// serves one step of a run and is gone before a worker takes the connection.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/path_lookup.h"
#include "app/reused_statement.h"
#include "app/seen_paths.h"

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
    explicit TEntryLists(db::TDBConnection& tdb);
    TEntryLists(const TEntryLists&) = delete;
    TEntryLists& operator=(const TEntryLists&) = delete;
    ~TEntryLists();

    // Table set-up; false when the statement failed.
    bool CreatePrevious();
    bool CreateCurrent();
    // The lists are kept without indexes: a run that finds every path by reading on needs
    // none, and keeping them cost every insert a search. A search builds its list's index
    // when it first needs it; the rotation drops what a run built or an earlier release saved.
    void DropIndexes();
    void ClearPrevious();
    void ClearCurrent();

    // The scan's rows. Only the monitored directory's insert is examined: false on failure.
    bool AddDirectory(std::string_view path);
    void AddFile(std::string_view path, std::string_view ident);
    // The previous list's rows below a directory that could not be read, copied into the
    // current list in their previous order, so that nothing below it counts as changed.
    // The number of rows copied.
    int KeepPreviousBelow(std::string_view directory);
    // The same for an entry that could not be examined: its own row too.
    int KeepPrevious(std::string_view entry);
    // The `count` rows of the previous list after the row numbered `after` copied into the
    // current list, as the scan stores them: the rows a scan found unchanged before its first
    // change, a part at a time. The number of the last row copied (`after` when none was).
    std::int64_t KeepPreviousAfter(std::int64_t after, std::int64_t count);
    // New, empty lists go on numbering their rows after the last row of the lists of
    // `other`, as those lists would.
    void NumberOnFrom(db::TDBConnection& other);

    // Whether both lists are tables that can be read: a datafile is accepted only then. A
    // view in their place could compute anything, even rows without end.
    bool BothAreReadableTables();
    // The current list's first path: the directory it was scanned from. None when the list
    // is empty or cannot be read.
    std::optional<std::string> FirstPath();
    // The current list for the rotation, and a row of it copied unchanged into the
    // previous list (a row without a path is left out).
    TListReader ReadOldList();
    void CopyToPrevious(const TListReader& row);

    // The lists for the comparison: the current one is null when its query failed; a
    // previous list that cannot be read reads as empty.
    std::optional<TListReader> ReadCurrent();
    TListReader ReadPrevious();
    // The previous list's identity text for the row's path, when the path is there, and
    // whether the path is in the current list. Both answer as a search of the other list
    // would, but try the row after the one found last first: the two lists are in the same
    // order but for what changed, so a walk through one list nearly always finds its next
    // path there without a search.
    std::optional<std::string> PreviousIdentOf(const TListReader& row);
    bool InCurrent(const TListReader& row);
    // PreviousIdentOf has been asked for every row of the current list in order. When the
    // previous list was read along, each path found in turn and no row left over, the two
    // lists hold the same paths, and InCurrent says so without reading the current list again.
    void CurrentListAsked();

    // The row count and a hash of every row (id, path and identity) of the current list:
    // ids are never given twice, so it tells one saved list from every other. The empty
    // text when the list cannot be read.
    std::string CurrentFingerprint();

private:
    // A list read in id order from after the row found last in it.
    struct TFollower {
        TFollower(db::TDBConnection& tdb, const char* sql) : rows(tdb, sql) {}
        TReusedStatement rows;
        bool ended = false;
        // The row read and not yet found: its id, stored path and identity.
        bool holdsRow = false;
        std::int64_t id = 0;
        std::string storedPath;
        std::string ident;
    };

    // Whether the follower's next row holds this stored path; the row is passed if so.
    bool FollowerFinds(TFollower& follower, const std::string& storedPath);
    bool ReadNextRow(TFollower& follower);
    // The follower goes on after the row a lookup found.
    void ResumeAfter(TFollower& follower, std::int64_t id);
    void StartAfter(TFollower& follower, std::int64_t id);
    // Whether the row the previous list's follower found is the first under its path, as a
    // search finds. Only a datafile from elsewhere holds a path twice or compares paths
    // otherwise than exactly; until the first search the follower's reading from the start
    // tells, the search's index then tells for the whole list.
    bool FoundFirstUnderItsPath(const std::string& storedPath);
    void DecidePreviousFollowing();
    void CheckPreviousPaths();
    // The first row of a list under the stored path: in memory for lists that compare their
    // paths exactly, else through the list's index (a datafile from elsewhere may compare
    // them under another collation).
    std::optional<std::pair<std::int64_t, std::string>> SearchPrevious(const std::string& storedPath);
    std::optional<std::int64_t> SearchCurrent(const std::string& storedPath);
    bool PathsCompareExactly();
    // The index a search of a list uses (one of the texts of `sql`), built the first time one
    // is needed; `built` remembers it.
    void Index(bool& built, const char* sql);

    db::TDBConnection& tdb_;
    TReusedStatement insertDirectory_;
    TReusedStatement insertFile_;
    TReusedStatement insertPrevious_;
    TReusedStatement keepPrevious_;
    TReusedStatement keepPreviousEntry_;
    TReusedStatement keepPreviousAfter_;
    TReusedStatement lastKept_;
    TReusedStatement lookupPrevious_;
    TReusedStatement lookupCurrent_;
    TFollower previousFollower_;
    TFollower currentFollower_;
    enum class TFollowing { Undecided, WhileUnrepeated, Always, Never };
    TFollowing previousFollowing_ = TFollowing::Undecided;
    // Every previous path the follower found while the following is WhileUnrepeated.
    TSeenPaths previousSeen_;
    TPathLookup previousPaths_;
    TPathLookup currentPaths_;
    std::optional<bool> exactPaths_;
    bool previousIndexed_ = false;
    bool currentIndexed_ = false;
    bool everyCurrentPathFollowed_ = true;
    bool sameLists_ = false;
};

}  // namespace app
