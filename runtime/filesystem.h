#pragma once
// File-system queries used by the scan and the datafile store.

#include <cstdint>
#include <memory>
#include <string>

namespace rt {

enum EntryKind : int { ENTRY_NONE = 0, ENTRY_FILE = 1, ENTRY_DIR = 2 };

// A directory listing: yields every name the system gives, "." and ".." included,
// then the empty name once the listing is exhausted.
class TDirListing {
public:
    static std::unique_ptr<TDirListing> Open(const std::string& path);  // null on failure
    ~TDirListing();
    TDirListing(const TDirListing&) = delete;
    TDirListing& operator=(const TDirListing&) = delete;
    std::string NextName();
    void Close();

private:
    explicit TDirListing(void* handle) : handle_(handle) {}
    void* handle_;
};

// 1 = regular file, 2 = directory, 0 = anything else or unqueryable (links followed).
int EntryType(const std::string& path);
// Size in bytes (links followed), -1 when it cannot be queried.
std::int64_t FileSize(const std::string& path);

// Whether anything (even a dangling link) is at the path.
bool PathExists(const std::string& path);

std::string CurrentDir();
bool ChangeDir(const std::string& path);
std::string AbsolutePath(const std::string& path);
bool RemoveFile(const std::string& path);

// What makes a directory the same directory, whatever path reached it.
struct DirIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const DirIdentity&) const = default;
};
struct DirIdentityHash {
    std::size_t operator()(const DirIdentity& id) const noexcept {
        return std::hash<std::uint64_t>()(id.inode * 1000003u ^ id.device);
    }
};
bool DirIdentityOf(const std::string& path, DirIdentity& identity);

}  // namespace rt
