#include "app/entry_lists.h"

#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/text.h"

namespace app {

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
    tdb_.executeQuery(sql::InsertDirectory(rt::EscapeNonUtf8(path)));
    return !tdb_.hasError();
}

void TEntryLists::AddFile(std::string_view path, std::string_view ident) {
    tdb_.executeQuery(sql::InsertFile(rt::EscapeNonUtf8(path), ident));
}

bool TEntryLists::CurrentIsReadable() {
    tdb_.executeQuery(sql::SELECT_OLD_LIST);
    return !tdb_.hasError();
}

TListReader TEntryLists::ReadOldList() { return {tdb_.executeQuery(sql::SELECT_OLD_LIST), 0}; }

void TEntryLists::CopyToPrevious(const TListReader& row) {
    if (row.storedPath_.empty()) return;
    tdb_.executeQuery(sql::InsertPrevious(row.storedPath_, row.ident_));
}

std::optional<TListReader> TEntryLists::ReadCurrent() {
    auto query = tdb_.executeQuery(sql::SELECT_CURRENT_ROWS);
    if (tdb_.hasError()) return std::nullopt;
    return TListReader(std::move(query), 1);
}

TListReader TEntryLists::ReadPrevious() { return {tdb_.executeQuery(sql::SELECT_PREVIOUS_ROWS), 1}; }

std::optional<std::string> TEntryLists::PreviousIdentOf(const TListReader& row) {
    auto previous = tdb_.executeQuery(sql::LookupPrevious(row.storedPath_));
    if (!previous->nextRow()) return std::nullopt;
    return previous->rowRecord()->getString(1);
}

bool TEntryLists::InCurrent(const TListReader& row) {
    return tdb_.executeQuery(sql::LookupCurrent(row.storedPath_))->nextRow() != 0;
}

}  // namespace app
