#include "app/entry_lists.h"

#include <limits>

#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/path.h"
#include "runtime/text.h"

namespace app {
namespace {

constexpr const char* INSERT_DIRECTORY = "insert into allist (file) VALUES (?)";
// Rows whose path begins with ?1 (the directory and a separator): the range finds them by
// the index, and the prefix test drops the other names that sort within it. A directory's
// empty identity turns back into the NULL the scan stores.
constexpr const char* KEEP_PREVIOUS =
    "insert into allist (file,ident) select file, nullif(ident, '') from lastallist "
    "where file >= ?1 and file < ?2 and substr(file, 1, length(?1)) = ?1 order by id asc";
constexpr const char* KEEP_PREVIOUS_ENTRY =
    "insert into allist (file,ident) select file, nullif(ident, '') from lastallist "
    "where file = ? order by id asc";
constexpr const char* KEEP_PREVIOUS_AFTER =
    "insert into allist (file,ident) select file, nullif(ident, '') from lastallist "
    "where id > ?1 order by id asc limit ?2";
constexpr const char* LAST_KEPT =
    "select max(id) from (select id from lastallist where id > ?1 order by id asc limit ?2)";
// The last row number of a list (the table's name follows), and the one a list numbers on
// from: a list's new rows are numbered after every row it ever held.
constexpr const char* LAST_ID = "select ifnull(max(id), 0) from ";
constexpr const char* NUMBER_ON = "insert into sqlite_sequence (name, seq) values (?, ?)";
constexpr const char* LOOKUP_PREVIOUS = "select id,ident from lastallist where file = ?";
constexpr const char* LOOKUP_CURRENT = "select id from allist where file = ?";
constexpr const char* FOLLOW_PREVIOUS =
    "select id,file,ident from lastallist where id > ? order by id asc";
constexpr const char* FOLLOW_CURRENT = "select id,file,ident from allist where id > ? order by id asc";
// Under the column's own collation, as a lookup compares.
constexpr const char* PREVIOUS_PATH_TWICE =
    "select 1 from lastallist group by file having count(*) > 1 limit 1";
// A list as this program creates it (the table named in its text) compares its paths exactly.
constexpr const char* LIST_IS_OURS = "select 1 from sqlite_master where type = 'table' and sql = ?";
// A row found this many ids ahead is reached by reading on; farther, by a new read after it.
constexpr int NEAR_ROWS = 16;

}  // namespace

TListReader::TListReader(std::shared_ptr<db::TDatabaseQuery> query, int fileColumn)
    : query_(std::move(query)), fileColumn_(fileColumn) {}

bool TListReader::Next() {
    if (!query_->nextRow()) return false;
    const auto row = query_->rowRecord();
    storedPath_ = row->getString(fileColumn_);
    ident_ = row->getString(fileColumn_ + 1);
    path_ = rt::UnescapeNonUtf8(storedPath_);
    return true;
}

TEntryLists::TEntryLists(db::TDBConnection& tdb)
    : tdb_(tdb),
      insertDirectory_(tdb, INSERT_DIRECTORY),
      insertFile_(tdb, sql::INSERT_CURRENT_ROW),
      insertPrevious_(tdb, sql::INSERT_PREVIOUS_ROW),
      keepPrevious_(tdb, KEEP_PREVIOUS),
      keepPreviousEntry_(tdb, KEEP_PREVIOUS_ENTRY),
      keepPreviousAfter_(tdb, KEEP_PREVIOUS_AFTER),
      lastKept_(tdb, LAST_KEPT),
      lookupPrevious_(tdb, LOOKUP_PREVIOUS),
      lookupCurrent_(tdb, LOOKUP_CURRENT),
      previousFollower_(tdb, FOLLOW_PREVIOUS),
      currentFollower_(tdb, FOLLOW_CURRENT),
      previousPaths_(tdb, "lastallist"),
      currentPaths_(tdb, "allist") {}

TEntryLists::~TEntryLists() = default;

bool TEntryLists::CreatePrevious() {
    tdb_.executeQuery(sql::CREATE_LASTALLIST);
    return !tdb_.hasError();
}

bool TEntryLists::CreateCurrent() {
    tdb_.executeQuery(sql::CREATE_ALLIST);
    return !tdb_.hasError();
}

void TEntryLists::DropIndexes() {
    tdb_.executeQuery(sql::DROP_INDEX_ALLIST);
    tdb_.executeQuery(sql::DROP_INDEX_LASTALLIST);
}

void TEntryLists::Index(bool& built, const char* sql) {
    if (built) return;
    tdb_.executeQuery(sql);
    built = true;
}

void TEntryLists::ClearPrevious() { tdb_.executeQuery(sql::DELETE_LASTALLIST); }

void TEntryLists::ClearCurrent() { tdb_.executeQuery(sql::DELETE_ALLIST); }

bool TEntryLists::AddDirectory(std::string_view path) {
    return insertDirectory_.Run({rt::EscapeNonUtf8(path)});
}

void TEntryLists::AddFile(std::string_view path, std::string_view ident) {
    insertFile_.Run({rt::EscapeNonUtf8(path), ident});
}

int TEntryLists::KeepPreviousBelow(std::string_view directory) {
    const std::string stored = rt::EscapeNonUtf8(directory);
    // Every path below the directory sorts from "directory/" up to "directory0".
    const std::string first = stored + rt::PATH_SEPARATOR;
    const std::string beyond = stored + char(rt::PATH_SEPARATOR + 1);
    Index(previousIndexed_, sql::INDEX_LASTALLIST);
    if (!keepPrevious_.Run({first, beyond})) return 0;
    return keepPrevious_->rowsAffected();
}

int TEntryLists::KeepPrevious(std::string_view entry) {
    Index(previousIndexed_, sql::INDEX_LASTALLIST);
    const int own = keepPreviousEntry_.Run({rt::EscapeNonUtf8(entry)})
                        ? keepPreviousEntry_->rowsAffected()
                        : 0;
    return own + KeepPreviousBelow(entry);
}

std::int64_t TEntryLists::KeepPreviousAfter(std::int64_t after, std::int64_t count) {
    if (!keepPreviousAfter_.Run({}, {after, count}) || !lastKept_.Run({}, {after, count})) {
        return after;
    }
    return lastKept_->nextRow() ? lastKept_->rowRecord()->getLong(0) : after;
}

void TEntryLists::NumberOnFrom(db::TDBConnection& other) {
    for (const char* table : {"allist", "lastallist"}) {
        const auto last = other.executeQuery(std::string(LAST_ID) + table);
        if (other.hasError() || !last->nextRow()) continue;
        TReusedStatement number(tdb_, NUMBER_ON);
        number.Run({table}, {last->rowRecord()->getLong(0)});
    }
}

bool TEntryLists::BothAreReadableTables() {
    const auto tables = tdb_.executeQuery(sql::SELECT_LIST_TABLES);
    if (tdb_.hasError() || !tables->nextRow() || !tables->nextRow()) return false;
    for (const char* sql : {sql::SELECT_OLD_LIST, sql::SELECT_PREVIOUS_LIST}) {
        tdb_.executeQuery(sql);
        if (tdb_.hasError()) return false;
    }
    return true;
}

std::optional<std::string> TEntryLists::FirstPath() {
    TListReader first(tdb_.executeQuery(sql::SELECT_FIRST_PATH), 0);
    if (tdb_.hasError() || !first.Next()) return std::nullopt;
    return first.Path();
}

TListReader TEntryLists::ReadOldList() { return {tdb_.executeQuery(sql::SELECT_OLD_LIST), 0}; }

void TEntryLists::CopyToPrevious(const TListReader& row) {
    if (row.storedPath_.empty()) return;
    insertPrevious_.Run({row.storedPath_, row.ident_});
}

std::optional<TListReader> TEntryLists::ReadCurrent() {
    auto query = tdb_.executeQuery(sql::SELECT_CURRENT_ROWS);
    if (tdb_.hasError()) return std::nullopt;
    return TListReader(std::move(query), 1);
}

TListReader TEntryLists::ReadPrevious() { return {tdb_.executeQuery(sql::SELECT_PREVIOUS_ROWS), 1}; }

std::optional<std::string> TEntryLists::PreviousIdentOf(const TListReader& row) {
    DecidePreviousFollowing();
    if (previousFollowing_ != TFollowing::Never && FollowerFinds(previousFollower_, row.storedPath_) &&
        FoundFirstUnderItsPath(row.storedPath_)) {
        return previousFollower_.ident;
    }
    everyCurrentPathFollowed_ = false;
    // The follower goes on after what a search finds, so it no longer reads every row.
    if (previousFollowing_ == TFollowing::WhileUnrepeated) CheckPreviousPaths();
    const auto found = SearchPrevious(row.storedPath_);
    if (!found) return std::nullopt;
    if (previousFollowing_ == TFollowing::Always) ResumeAfter(previousFollower_, found->first);
    return found->second;
}

std::optional<std::pair<std::int64_t, std::string>> TEntryLists::SearchPrevious(
    const std::string& storedPath) {
    if (PathsCompareExactly()) return previousPaths_.Find(storedPath);
    Index(previousIndexed_, sql::INDEX_LASTALLIST);
    if (!lookupPrevious_.Run({storedPath}) || !lookupPrevious_->nextRow()) {
        return std::nullopt;
    }
    const auto found = lookupPrevious_->rowRecord();
    return std::pair{found->getLong(0), found->getString(1)};
}

std::optional<std::int64_t> TEntryLists::SearchCurrent(const std::string& storedPath) {
    if (PathsCompareExactly()) {
        const auto found = currentPaths_.Find(storedPath);
        return found ? std::optional(found->first) : std::nullopt;
    }
    Index(currentIndexed_, sql::INDEX_ALLIST);
    if (!lookupCurrent_.Run({storedPath}) || !lookupCurrent_->nextRow()) {
        return std::nullopt;
    }
    return lookupCurrent_->rowRecord()->getLong(0);
}

bool TEntryLists::PathsCompareExactly() {
    if (!exactPaths_) {
        TReusedStatement ours(tdb_, LIST_IS_OURS);
        int tables = 0;
        for (const char* create : {sql::CREATE_LASTALLIST, sql::CREATE_ALLIST}) {
            if (ours.Run({create}) && ours->nextRow()) ++tables;
        }
        exactPaths_ = tables == 2;
    }
    return *exactPaths_;
}

bool TEntryLists::InCurrent(const TListReader& row) {
    if (sameLists_ || FollowerFinds(currentFollower_, row.storedPath_)) return true;
    const auto found = SearchCurrent(row.storedPath_);
    if (!found) return false;
    ResumeAfter(currentFollower_, *found);
    return true;
}

void TEntryLists::CurrentListAsked() {
    sameLists_ = everyCurrentPathFollowed_ && !previousFollower_.holdsRow &&
                 !ReadNextRow(previousFollower_) && !tdb_.hasError();
}

// Every stored path is text this program wrote (the rotation rewrites the previous list
// through the same conversions), so equal texts read back are equal stored texts.
bool TEntryLists::FollowerFinds(TFollower& follower, const std::string& storedPath) {
    if (!follower.holdsRow && !ReadNextRow(follower)) return false;
    if (follower.storedPath != storedPath) return false;
    follower.holdsRow = false;
    return true;
}

bool TEntryLists::ReadNextRow(TFollower& follower) {
    if (!follower.rows.HasRun() && !follower.ended) {
        StartAfter(follower, std::numeric_limits<std::int64_t>::min());
    }
    if (follower.ended || !follower.rows->nextRow()) {
        follower.ended = true;
        return false;
    }
    const auto row = follower.rows->rowRecord();
    follower.id = row->getLong(0);
    follower.storedPath = row->getString(1);
    follower.ident = row->getString(2);
    follower.holdsRow = true;
    return true;
}

// A row found behind the follower leaves it where it is: the lists' orders disagree there,
// and its next row may still be the next one sought. A row a few ids ahead is reached by
// reading on; one farther ahead, as in lists whose orders disagree throughout, by a new read
// after it, so that no search costs more than a few rows read in vain.
void TEntryLists::ResumeAfter(TFollower& follower, std::int64_t id) {
    if (!follower.holdsRow && !ReadNextRow(follower)) return;
    if (follower.id > id) return;
    const std::uint64_t gap = static_cast<std::uint64_t>(id) - static_cast<std::uint64_t>(follower.id);
    for (int step = 0; gap < NEAR_ROWS && step < NEAR_ROWS; ++step) {
        follower.holdsRow = false;
        if (!ReadNextRow(follower) || follower.id > id) return;
    }
    StartAfter(follower, id);
}

void TEntryLists::StartAfter(TFollower& follower, std::int64_t id) {
    follower.holdsRow = false;
    follower.ended = !follower.rows.Run({}, {id});
}

// Until the first search the follower has found every row it read, from the list's first
// on, so a path it finds is the first under it unless it found the path before.
bool TEntryLists::FoundFirstUnderItsPath(const std::string& storedPath) {
    if (previousFollowing_ == TFollowing::WhileUnrepeated && !previousSeen_.Add(storedPath)) {
        CheckPreviousPaths();
    }
    return previousFollowing_ != TFollowing::Never;
}

void TEntryLists::DecidePreviousFollowing() {
    if (previousFollowing_ != TFollowing::Undecided) return;
    TReusedStatement ours(tdb_, LIST_IS_OURS);
    if (ours.Run({sql::CREATE_LASTALLIST}) && ours->nextRow()) {
        previousFollowing_ = TFollowing::WhileUnrepeated;
    } else {
        CheckPreviousPaths();
    }
}

void TEntryLists::CheckPreviousPaths() {
    bool distinct = false;
    if (PathsCompareExactly()) {
        distinct = !previousPaths_.HoldsAPathTwice();
    } else {
        Index(previousIndexed_, sql::INDEX_LASTALLIST);
        tdb_.resetError();
        const auto twice = tdb_.executeQuery(PREVIOUS_PATH_TWICE);
        distinct = !tdb_.hasError() && !twice->nextRow();
    }
    previousFollowing_ = distinct ? TFollowing::Always : TFollowing::Never;
    previousSeen_.Clear();
}

std::string TEntryLists::CurrentFingerprint() {
    const auto rows = tdb_.executeQuery(sql::SELECT_CURRENT_ROWS);
    if (tdb_.hasError()) return {};
    // FNV-1a over each column's length and bytes, so that no two rows run into each other.
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](std::string_view bytes) {
        for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    };
    const auto add = [&mix](std::string_view column) {
        mix(std::to_string(column.size()));
        mix(":");
        mix(column);
    };
    std::uint64_t count = 0;
    while (rows->nextRow()) {
        const auto row = rows->rowRecord();
        add(std::to_string(row->getLong(0)));
        add(row->getString(1));
        add(row->getString(2));
        ++count;
    }
    return std::to_string(count) + " " + std::to_string(hash);
}

}  // namespace app
