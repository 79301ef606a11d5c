#pragma once
// The tree as the datafile's lists hold it, kept in memory while changes are watched for:
// per directory its entries, their names and identities in one buffer, each entry with the
// ids of its rows in both stored lists, so that an incremental run compares in memory and
// updates the datafile by id alone. Read once after each full run.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace db {
class TDBConnection;
}

namespace app {

// An entry of a directory. Its name and identity lie in the directory's buffer from
// `textAt`: the name, a zero byte, the identity (empty for a directory), a zero byte.
struct TLiveEntry {
    std::uint32_t textAt = 0;
    bool directory = false;
    // Its row in `allist`.
    std::int64_t currentId = 0;
    // Its row in `lastallist` with this identity; 0 while `lastallist` owes it one.
    std::int64_t previousId = 0;
};

class TLiveDirectory {
public:
    std::string_view Name(const TLiveEntry& entry) const;
    std::string_view Ident(const TLiveEntry& entry) const;
    const std::vector<TLiveEntry>& Entries() const { return entries_; }
    std::vector<TLiveEntry>& Entries() { return entries_; }
    // A new entry at the end; its ids are the caller's to set.
    TLiveEntry& Add(std::string_view name, std::string_view ident, bool directory);
    // Takes the entries and text of another directory (a re-listing of this one).
    void Replace(TLiveDirectory&& listing) {
        *this = std::move(listing);
        Compact();
    }
    // Gives back what growing left over: a tree of a million entries is held for long.
    void Compact() {
        text_.shrink_to_fit();
        entries_.shrink_to_fit();
    }

private:
    std::string text_;
    std::vector<TLiveEntry> entries_;
};

// Finds the entries of one directory by name: the entry after the one found last first, as
// two listings of a directory nearly always follow one order, else by an index made at the
// first miss, so that a directory of many new names costs no search per name.
class TNameFinder {
public:
    explicit TNameFinder(const TLiveDirectory& directory) : directory_(directory) {}
    // The position of the named entry, or Entries().size() when there is none.
    std::size_t Find(std::string_view name);

private:
    const TLiveDirectory& directory_;
    std::size_t next_ = 0;
    std::unordered_map<std::string_view, std::size_t> index_;
    bool indexed_ = false;
};

class TLiveList {
public:
    // Reads both lists of the datafile. False when they cannot be read, or the current list
    // does not start at `root`.
    bool Load(db::TDBConnection& datafile, const std::string& root);

    const std::string& Root() const { return root_; }
    // Null when the directory is not in the tree.
    TLiveDirectory* Directory(const std::string& path);
    // A directory of the tree, empty when new.
    TLiveDirectory& MakeDirectory(const std::string& path) { return directories_[path]; }
    void RemoveDirectory(const std::string& path) { directories_.erase(path); }
    // The monitored directory is the one entry of the directory with the empty path.
    // Every directory's path, the root first.
    std::vector<std::string> DirectoryPaths() const;

    // The rows of `lastallist` that are no longer the tree as it was: to be deleted by the
    // next transaction, with the rows owed (entries whose previousId is 0) inserted.
    std::vector<std::int64_t>& StalePrevious() { return stalePrevious_; }
    // The directories holding entries owed a row of `lastallist`.
    std::vector<std::string>& OwingDirectories() { return owingDirectories_; }

private:
    void MatchPrevious(db::TDBConnection& datafile);
    // The directory holding the path and the entry's name; no directory for a path outside
    // the tree.
    std::pair<std::optional<std::string>, std::string> SplitPath(const std::string& path) const;

    std::string root_;
    std::unordered_map<std::string, TLiveDirectory> directories_;
    std::vector<std::int64_t> stalePrevious_;
    std::vector<std::string> owingDirectories_;
};

}  // namespace app
