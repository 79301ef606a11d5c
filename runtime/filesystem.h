#pragma once
// File-system queries used by the scan and the datafile store.

#include <cstdint>
#include <memory>
#include <string>

namespace rt {

class TReadStream;

enum EntryKind : int { ENTRY_NONE = 0, ENTRY_FILE = 1, ENTRY_DIR = 2 };

// What makes a file or a directory the same one, whatever path reached it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// One status query of an entry, links followed.
struct EntryStatus {
    int kind = ENTRY_NONE;  // an EntryKind; ENTRY_NONE also when it cannot be queried
    std::int64_t size = -1;
    FileIdentity identity;
    bool exists = false;  // something is there, of whatever kind
    // Empty when the system answered, "nothing is there" included; otherwise its reason for
    // not answering (an I/O error, no permission), and the entry may well be there.
    std::string failure;
    bool Answered() const { return failure.empty(); }
    bool Absent() const { return Answered() && !exists; }
};

// An open directory whose entries are listed, queried and opened by name relative to it,
// so that a tree deeper than the system's path limit is walked like any other. Files of
// it may be read on other threads while it is shared with them.
class TDirectory {
public:
    // Null when the directory cannot be opened or searched. The path may be of any length.
    static std::shared_ptr<TDirectory> Open(const std::string& path);
    ~TDirectory();
    TDirectory(const TDirectory&) = delete;
    TDirectory& operator=(const TDirectory&) = delete;

    // Every name the system gives, "." and ".." included, then the empty name once the
    // listing is exhausted or failed. One thread at a time.
    std::string NextName();
    // Whether the listing ended on an error, before its last name.
    bool ListingFailed() const { return listingFailed_; }
    // The named entry's kind, size and identity, from any thread.
    EntryStatus Query(const std::string& name) const;
    // The named entry opened for reading when it is a regular file, else null; from any
    // thread. A pipe without a writer does not make it wait.
    std::unique_ptr<TReadStream> OpenFile(const std::string& name) const;
    FileIdentity Identity() const;
    // Whether the named entry is itself a link (on Windows a symbolic link or a junction),
    // found without following it.
    bool IsLink(const std::string& name) const;

private:
    explicit TDirectory(void* handle) : handle_(handle) {}
    void* handle_;
    bool listingFailed_ = false;
};

// What is at the path, links followed. Only the system's "no such file" makes an answered
// ENTRY_NONE for nothing there; any other failure is no answer.
EntryStatus QueryPath(const std::string& path);
// 1 = regular file, 2 = directory, 0 = anything else or unqueryable (links followed).
int EntryType(const std::string& path);
// The identity of what is at the path (links followed); false when nothing is there.
bool FileIdentityOf(const std::string& path, FileIdentity& identity);

// Whether two paths name the same file: the same absolute path once "." and ".." are
// resolved in the text, or, when both exist, the same file (links followed). An empty
// path names no file.
bool SameFile(const std::string& first, const std::string& second);

// What changes whenever the file at the path is written or replaced (which file it is, its
// size and its times), as text; the empty text when nothing is there (links followed).
std::string FileStamp(const std::string& path);

// Whether anything (even a dangling link) is at the path.
bool PathExists(const std::string& path);

// The target written in the link at the path, as it is written; false when no link (on
// Windows no symbolic link or junction) is there. What the link leads to is not looked at.
bool ReadLink(const std::string& path, std::string& target);
// The absolute path of what the path names, every link on it resolved; empty when it
// cannot be resolved.
std::string RealPath(const std::string& path);
// Whether `below`, a path relative to the tree, leads to something that exists inside the
// tree once every link on it is resolved; `tree` is absolute and holds no link (RealPath).
// Nothing outside the tree is looked at: a way that passes through a place outside the
// tree counts as leading out, even when it would come back in.
bool LeadsInside(const std::string& tree, const std::string& below);

// Makes an empty file at the path, readable and writable by its owner alone whatever the
// umask, when nothing (not even a dangling link) is there; anything there is left as it
// is. On Windows a new file takes its directory's access rights, and nothing is done.
void CreateOwnerOnlyFile(const std::string& path);

std::string CurrentDir();
bool ChangeDir(const std::string& path);
std::string AbsolutePath(const std::string& path);
// The absolute path of what the system reaches by the path, without "." steps: a ".." goes
// up from where the step before it led, through a symbolic link to the link's target's
// parent, as the system takes it; other links stay as they are named.
std::string ReachedPath(const std::string& path);
bool RemoveFile(const std::string& path);
// Gives the file the new name in one step, replacing what had that name.
bool RenameFile(const std::string& from, const std::string& to);
// Whether a new file may take the path's place by a rename: nothing is there, or a regular
// file of this user and group with no other name, that this user may write. What must stay
// the same file (a link, a file with other names or of others) is rewritten in place
// instead; on Windows every existing file is, as open handles there forbid the rename.
bool ReplaceableByRename(const std::string& path);
// Gives `replacement` the mode, owner and group of the file at the path (a new file stays its
// owner's alone), then renames it over that file in one step.
bool RenameOver(const std::string& replacement, const std::string& path);

}  // namespace rt
