#include "app/entry_lists.h"

#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/path.h"
#include "runtime/text.h"

namespace app {
namespace {

constexpr const char* INSERT_DIRECTORY = "insert into allist (file) VALUES (?)";
constexpr const char* INSERT_FILE = "insert into allist (file,ident) VALUES (?, ?)";
// A bound empty text is NULL; a directory's identity in the previous list is the empty text.
constexpr const char* INSERT_PREVIOUS =
    "insert into lastallist (file,ident) VALUES (?, ifnull(?, ''))";
// Rows whose path begins with ?1 (the directory and a separator): the range finds them by
// the index, and the prefix test drops the other names that sort within it. A directory's
// empty identity turns back into the NULL the scan stores.
constexpr const char* KEEP_PREVIOUS =
    "insert into allist (file,ident) select file, nullif(ident, '') from lastallist "
    "where file >= ?1 and file < ?2 and substr(file, 1, length(?1)) = ?1 order by id asc";
constexpr const char* LOOKUP_PREVIOUS = "select file,ident from lastallist where file = ?";
constexpr const char* LOOKUP_CURRENT = "select file,ident from allist where file = ?";

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

TEntryLists::~TEntryLists() = default;

bool TEntryLists::Run(TStatement& statement, const char* sql,
                      std::initializer_list<std::string_view> values) {
    if (!statement || !statement->resultSet || !statement->resultSet->stmtHandle) {
        statement = db::TDatabaseQuery::Create(tdb_.shared_from_this());
        if (statement->prepare(sql) != 1) return false;
    } else {
        // A lookup read only its first row; rewound, the next run presents its own first.
        statement->resultSet->reset();
    }
    statement->clearBindValues();
    for (const std::string_view value : values) statement->addString(std::string(value));
    // An error left by an earlier statement would fail this one too.
    tdb_.resetError();
    return statement->execute() == 1;
}

bool TEntryLists::CreatePrevious() {
    tdb_.executeQuery(sql::CREATE_LASTALLIST);
    return !tdb_.hasError();
}

bool TEntryLists::CreateCurrent() {
    tdb_.executeQuery(sql::CREATE_ALLIST);
    return !tdb_.hasError();
}

// Datafiles written before the indexes existed get them here and keep them from their
// next save on.
void TEntryLists::IndexBoth() {
    tdb_.executeQuery(sql::INDEX_ALLIST);
    tdb_.executeQuery(sql::INDEX_LASTALLIST);
}

void TEntryLists::ClearPrevious() { tdb_.executeQuery(sql::DELETE_LASTALLIST); }

void TEntryLists::ClearCurrent() { tdb_.executeQuery(sql::DELETE_ALLIST); }

bool TEntryLists::AddDirectory(std::string_view path) {
    return Run(insertDirectory_, INSERT_DIRECTORY, {rt::EscapeNonUtf8(path)});
}

void TEntryLists::AddFile(std::string_view path, std::string_view ident) {
    Run(insertFile_, INSERT_FILE, {rt::EscapeNonUtf8(path), ident});
}

int TEntryLists::KeepPreviousBelow(std::string_view directory) {
    const std::string stored = rt::EscapeNonUtf8(directory);
    // Every path below the directory sorts from "directory/" up to "directory0".
    const std::string first = stored + rt::PATH_SEPARATOR;
    const std::string beyond = stored + char(rt::PATH_SEPARATOR + 1);
    if (!Run(keepPrevious_, KEEP_PREVIOUS, {first, beyond})) return 0;
    return keepPrevious_->rowsAffected();
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

TListReader TEntryLists::ReadOldList() { return {tdb_.executeQuery(sql::SELECT_OLD_LIST), 0}; }

void TEntryLists::CopyToPrevious(const TListReader& row) {
    if (row.storedPath_.empty()) return;
    Run(insertPrevious_, INSERT_PREVIOUS, {row.storedPath_, row.ident_});
}

std::optional<TListReader> TEntryLists::ReadCurrent() {
    auto query = tdb_.executeQuery(sql::SELECT_CURRENT_ROWS);
    if (tdb_.hasError()) return std::nullopt;
    return TListReader(std::move(query), 1);
}

TListReader TEntryLists::ReadPrevious() { return {tdb_.executeQuery(sql::SELECT_PREVIOUS_ROWS), 1}; }

std::optional<std::string> TEntryLists::PreviousIdentOf(const TListReader& row) {
    if (!Run(lookupPrevious_, LOOKUP_PREVIOUS, {row.storedPath_}) || !lookupPrevious_->nextRow()) {
        return std::nullopt;
    }
    return lookupPrevious_->rowRecord()->getString(1);
}

bool TEntryLists::InCurrent(const TListReader& row) {
    return Run(lookupCurrent_, LOOKUP_CURRENT, {row.storedPath_}) && lookupCurrent_->nextRow();
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
