#include "app/datafile_update.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_set>

#include "app/comparison.h"
#include "app/incremental_run.h"
#include "app/live_list.h"
#include "app/reused_statement.h"
#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/path.h"
#include "runtime/text.h"

namespace app {
namespace {

constexpr const char* UPDATE_CURRENT = "update allist set ident = ? where id = ?";
constexpr const char* DELETE_CURRENT = "delete from allist where id = ?";
constexpr const char* DELETE_PREVIOUS = "delete from lastallist where id = ?";
// The run stamp is the header's user version: it commits and rolls back with the rows, and
// a reader through the library sees it as committed whatever the journal and locking mode.
// (The header's change counter is no stamp: in exclusive locking mode and with write-ahead
// logging it does not change with each commit, and a raw read sees uncommitted pages.)
constexpr const char* READ_STAMP = "PRAGMA user_version";
constexpr const char* WRITE_STAMP = "PRAGMA user_version = ";

std::string EntryPath(const std::string& directory, std::string_view name) {
    return directory.empty() ? std::string(name) : rt::JoinEntryPath(directory, name);
}

class TRunWriter {
public:
    TRunWriter(db::TDBConnection& datafile, TLiveList& list)
        : list_(list),
          insertCurrent_(datafile, sql::INSERT_CURRENT_ROW),
          updateCurrent_(datafile, UPDATE_CURRENT),
          deleteCurrent_(datafile, DELETE_CURRENT),
          insertPrevious_(datafile, sql::INSERT_PREVIOUS_ROW),
          deletePrevious_(datafile, DELETE_PREVIOUS) {}

    // `lastallist` made the tree in memory: the rows of the last run's difference replaced.
    bool CatchUpPrevious() {
        for (const std::int64_t id : list_.StalePrevious()) {
            if (!deletePrevious_.Run({}, {id})) return false;
        }
        list_.StalePrevious().clear();
        // In the order of `allist`, so that `lastallist` lists the tree as it was listed.
        struct Owed {
            std::int64_t currentId;
            const std::string* path;
            TLiveDirectory* directory;
            std::size_t at;
        };
        std::vector<Owed> owed;
        std::unordered_set<std::string> done;
        for (const std::string& path : list_.OwingDirectories()) {
            TLiveDirectory* directory = list_.Directory(path);
            if (!directory || !done.insert(path).second) continue;
            for (std::size_t at = 0; at < directory->Entries().size(); ++at) {
                const TLiveEntry& entry = directory->Entries()[at];
                if (entry.previousId == 0) owed.push_back({entry.currentId, &path, directory, at});
            }
        }
        std::sort(owed.begin(), owed.end(),
                  [](const Owed& a, const Owed& b) { return a.currentId < b.currentId; });
        for (const Owed& row : owed) {
            TLiveEntry& entry = row.directory->Entries()[row.at];
            const std::string path = EntryPath(*row.path, row.directory->Name(entry));
            if (!insertPrevious_.Run({rt::EscapeNonUtf8(path), row.directory->Ident(entry)})) {
                return false;
            }
            entry.previousId = insertPrevious_->lastInsertedId();
        }
        list_.OwingDirectories().clear();
        return true;
    }

    bool WriteRelisted(TRelisted& relisted, TLiveLines& lines) {
        auto& entries = relisted.directory.Entries();
        bool owing = false;
        for (std::size_t at = 0; at < entries.size(); ++at) {
            if (relisted.changes[at] == TEntryChange::Same) continue;
            TLiveEntry& entry = entries[at];
            const std::string path = EntryPath(relisted.path, relisted.directory.Name(entry));
            const std::string_view ident = relisted.directory.Ident(entry);
            const char* label = LABEL_CHANGED;
            if (relisted.changes[at] == TEntryChange::Changed) {
                if (!updateCurrent_.Run({ident}, {entry.currentId})) return false;
                if (entry.previousId != 0) list_.StalePrevious().push_back(entry.previousId);
            } else {
                if (!insertCurrent_.Run({rt::EscapeNonUtf8(path), ident})) return false;
                entry.currentId = insertCurrent_->lastInsertedId();
                label = entry.directory ? LABEL_NEW_DIR : LABEL_NEW_FILE;
            }
            entry.previousId = 0;
            owing = true;
            lines.additions.push_back({label, path, entry.currentId});
        }
        if (owing) list_.OwingDirectories().push_back(relisted.path);
        return true;
    }

    bool WriteGone(const TGone& gone, TLiveLines& lines) {
        if (!deleteCurrent_.Run({}, {gone.currentId})) return false;
        if (gone.previousId != 0) list_.StalePrevious().push_back(gone.previousId);
        lines.removals.push_back(
            {gone.directory ? LABEL_REMOVED_DIR : LABEL_REMOVED_FILE, gone.path, gone.previousId});
        return true;
    }

private:
    TLiveList& list_;
    TReusedStatement insertCurrent_;
    TReusedStatement updateCurrent_;
    TReusedStatement deleteCurrent_;
    TReusedStatement insertPrevious_;
    TReusedStatement deletePrevious_;
};

// The next stamp, never 0, which no run writes.
bool StampRun(db::TDBConnection& datafile, std::uint32_t& stamp) {
    stamp = SavedRunStamp(datafile) + 1;
    if (stamp == 0) stamp = 1;
    datafile.executeQuery(WRITE_STAMP + std::to_string(static_cast<std::int32_t>(stamp)));
    return !datafile.hasError();
}

void SortAsCompared(TLiveLines& lines) {
    const auto byOrder = [](const TLiveLine& a, const TLiveLine& b) { return a.order < b.order; };
    std::stable_sort(lines.additions.begin(), lines.additions.end(), byOrder);
    std::stable_sort(lines.removals.begin(), lines.removals.end(), byOrder);
}

}  // namespace

bool CatchUpPrevious(db::TDBConnection& datafile, TLiveList& list) {
    return TRunWriter(datafile, list).CatchUpPrevious();
}

bool WriteRun(db::TDBConnection& datafile, TLiveList& list, TIncrementalListing& listing,
              TLiveLines& lines) {
    TRunWriter writer(datafile, list);
    for (TRelisted& relisted : listing.relisted) {
        if (!writer.WriteRelisted(relisted, lines)) return false;
    }
    for (const TGone& gone : listing.gone) {
        if (!writer.WriteGone(gone, lines)) return false;
    }
    for (const std::string& path : listing.goneDirectories) list.RemoveDirectory(path);
    for (TRelisted& relisted : listing.relisted) {
        list.MakeDirectory(relisted.path).Replace(std::move(relisted.directory));
    }
    SortAsCompared(lines);
    // A run with lines to tell is stamped: its marker names the stamp.
    return (lines.additions.empty() && lines.removals.empty()) || StampRun(datafile, lines.stamp);
}

std::uint32_t SavedRunStamp(db::TDBConnection& datafile) {
    const auto stamp = datafile.executeQuery(READ_STAMP);
    if (datafile.hasError() || !stamp->nextRow()) return 0;
    return static_cast<std::uint32_t>(stamp->rowRecord()->getLong(0));
}

}  // namespace app
