#include "app/path_lookup.h"

#include <algorithm>
#include <string_view>

#include "database/sqlite/sqlite.h"

namespace app {
namespace {

std::uint64_t PathHash(std::string_view path) { return std::hash<std::string_view>{}(path); }

}  // namespace

TPathLookup::TPathLookup(db::TDBConnection& tdb, const char* table)
    : tdb_(tdb), table_(table), byId_(tdb, "select file,ident from " + table_ + " where id = ?") {}

TPathLookup::~TPathLookup() = default;

void TPathLookup::Load() {
    loaded_ = true;
    const auto rows = tdb_.executeQuery("select id,file from " + table_);
    while (!tdb_.hasError() && rows->nextRow()) {
        const auto row = rows->rowRecord();
        rows_.emplace_back(PathHash(row->getString(1)), row->getLong(0));
    }
    std::sort(rows_.begin(), rows_.end());
}

bool TPathLookup::ReadRow(std::int64_t id, std::string& path, std::string& ident) {
    if (!byId_.Run({}, {id}) || !byId_->nextRow()) return false;
    const auto row = byId_->rowRecord();
    path = row->getString(0);
    ident = row->getString(1);
    return true;
}

std::optional<std::pair<std::int64_t, std::string>> TPathLookup::Find(const std::string& storedPath) {
    if (!loaded_) Load();
    const std::uint64_t hash = PathHash(storedPath);
    auto at = std::lower_bound(rows_.begin(), rows_.end(), std::pair{hash, INT64_MIN});
    std::string path, ident;
    for (; at != rows_.end() && at->first == hash; ++at) {
        if (ReadRow(at->second, path, ident) && path == storedPath) return std::pair{at->second, ident};
    }
    return std::nullopt;
}

bool TPathLookup::HoldsAPathTwice() {
    if (!loaded_) Load();
    std::string path, other, ident;
    for (std::size_t at = 0; at + 1 < rows_.size(); ++at) {
        if (rows_[at].first != rows_[at + 1].first) continue;
        // Paths of one hash: compared pairwise, as hashes of different paths rarely meet.
        for (std::size_t next = at + 1; next < rows_.size() && rows_[next].first == rows_[at].first; ++next) {
            if (ReadRow(rows_[at].second, path, ident) && ReadRow(rows_[next].second, other, ident) &&
                path == other) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace app
