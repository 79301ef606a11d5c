#include "app/live_list.h"

#include <memory>

#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/path.h"
#include "runtime/text.h"

namespace app {
namespace {

// The monitored directory is the one entry of a directory without a path.
const std::string ROOT_HOLDER;

struct StoredRow {
    std::int64_t id;
    std::string path;
    std::string ident;
};

// Reads a list row by row in id order; false after the last row or when it cannot be read.
class TRowReader {
public:
    TRowReader(db::TDBConnection& datafile, const char* sql)
        : query_(db::TDatabaseQuery::Create(datafile.shared_from_this())) {
        ok_ = query_->prepare(sql) == 1 && query_->execute() == 1;
    }
    bool Next(StoredRow& row) {
        if (!ok_ || !query_->nextRow()) return false;
        const auto record = query_->rowRecord();
        row.id = record->getLong(0);
        row.path = rt::UnescapeNonUtf8(record->getString(1));
        row.ident = record->getString(2);
        return true;
    }
    bool Ok() const { return ok_; }

private:
    std::shared_ptr<db::TDatabaseQuery> query_;
    bool ok_ = false;
};

}  // namespace

std::string_view TLiveDirectory::Name(const TLiveEntry& entry) const {
    return std::string_view(text_.c_str() + entry.textAt);
}

std::string_view TLiveDirectory::Ident(const TLiveEntry& entry) const {
    const std::string_view name = Name(entry);
    return std::string_view(text_.c_str() + entry.textAt + name.size() + 1);
}

TLiveEntry& TLiveDirectory::Add(std::string_view name, std::string_view ident, bool directory) {
    TLiveEntry entry;
    entry.textAt = static_cast<std::uint32_t>(text_.size());
    entry.directory = directory;
    text_.append(name).push_back('\0');
    text_.append(ident).push_back('\0');
    return entries_.emplace_back(entry);
}

std::size_t TNameFinder::Find(std::string_view name) {
    const auto& entries = directory_.Entries();
    if (next_ < entries.size() && directory_.Name(entries[next_]) == name) return next_++;
    if (!indexed_) {
        // The first of a name twice over is the one found, as by reading from the start.
        for (std::size_t at = entries.size(); at-- > 0;) index_[directory_.Name(entries[at])] = at;
        indexed_ = true;
    }
    const auto found = index_.find(name);
    if (found == index_.end()) return entries.size();
    next_ = found->second + 1;
    return found->second;
}

TLiveDirectory* TLiveList::Directory(const std::string& path) {
    const auto found = directories_.find(path);
    return found == directories_.end() ? nullptr : &found->second;
}

std::vector<std::string> TLiveList::DirectoryPaths() const {
    std::vector<std::string> paths{root_};
    for (const auto& [path, directory] : directories_) {
        if (!path.empty() && path != root_) paths.push_back(path);
    }
    return paths;
}

bool TLiveList::Load(db::TDBConnection& datafile, const std::string& root) {
    *this = TLiveList();
    root_ = root;
    TRowReader current(datafile, sql::SELECT_CURRENT_ROWS);
    StoredRow row;
    if (!current.Next(row) || row.path != root) return false;
    directories_[ROOT_HOLDER].Add(root, "", true).currentId = row.id;
    directories_[root];
    while (current.Next(row)) {
        const auto [parent, name] = SplitPath(row.path);
        TLiveDirectory* directory = parent ? Directory(*parent) : nullptr;
        // A row whose directory has no row before it: not a list this program wrote.
        if (!directory) return false;
        const bool isDirectory = row.ident.empty();
        directory->Add(name, row.ident, isDirectory).currentId = row.id;
        if (isDirectory) directories_[row.path];
    }
    for (auto& [path, directory] : directories_) directory.Compact();
    MatchPrevious(datafile);
    return true;
}

std::pair<std::optional<std::string>, std::string> TLiveList::SplitPath(
    const std::string& path) const {
    if (path == root_) return {ROOT_HOLDER, path};
    const std::size_t separator = path.rfind(rt::PATH_SEPARATOR);
    if (separator == std::string::npos || path.size() <= root_.size()) return {std::nullopt, {}};
    std::string name = path.substr(separator + 1);
    std::string parent = path.substr(0, separator);
    // Under a root directory ("/" or "C:\") the separator belongs to the parent.
    if (!directories_.contains(parent)) parent.push_back(rt::PATH_SEPARATOR);
    return {std::move(parent), std::move(name)};
}

// Each row of `lastallist` is found among the entries where the tree has it, trying the
// entry after the one found last in that directory first: both lists follow one walk.
void TLiveList::MatchPrevious(db::TDBConnection& datafile) {
    TRowReader previous(datafile, sql::SELECT_PREVIOUS_ROWS);
    StoredRow row;
    std::unordered_map<const TLiveDirectory*, TNameFinder> finders;
    while (previous.Next(row)) {
        const auto [parent, name] = SplitPath(row.path);
        TLiveDirectory* directory = parent ? Directory(*parent) : nullptr;
        const std::size_t at =
            directory ? finders.try_emplace(directory, *directory).first->second.Find(name) : 0;
        if (!directory || at == directory->Entries().size()) {
            stalePrevious_.push_back(row.id);
            continue;
        }
        TLiveEntry& entry = directory->Entries()[at];
        if (entry.previousId == 0 && directory->Ident(entry) == row.ident) {
            entry.previousId = row.id;
        } else {
            stalePrevious_.push_back(row.id);
        }
    }
    for (const auto& [path, directory] : directories_) {
        for (const TLiveEntry& entry : directory.Entries()) {
            if (entry.previousId == 0) {
                owingDirectories_.push_back(path);
                break;
            }
        }
    }
}

}  // namespace app
