#include "runtime/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "runtime/posix/owner_only_posix.h"
#include "runtime/stream.h"

namespace rt {
namespace {

constexpr int DIRECTORY_FLAGS = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

int Reopen(int at, const std::string& name) {
    const int fd = openat(at, name.empty() ? "." : name.c_str(), DIRECTORY_FLAGS);
    if (at != AT_FDCWD) close(at);
    return fd;
}

// A path the system would refuse as too long is opened in pieces, each relative to the
// directory the piece before it named.
int OpenDirectoryFd(const std::string& path) {
    int at = AT_FDCWD;
    std::size_t start = 0;
    while (path.size() - start >= PATH_MAX) {
        const std::size_t end = path.rfind('/', start + PATH_MAX - 2);
        if (end == std::string::npos || end < start) {
            if (at != AT_FDCWD) close(at);
            errno = ENAMETOOLONG;
            return -1;
        }
        // The root's piece is "/" itself.
        at = Reopen(at, path.substr(start, end == 0 ? 1 : end - start));
        if (at < 0) return -1;
        start = end + 1;
    }
    return Reopen(at, path.substr(start));
}

FileIdentity IdentityIn(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

int KindOf(const struct stat& info) {
    if (S_ISREG(info.st_mode)) return ENTRY_FILE;
    if (S_ISDIR(info.st_mode)) return ENTRY_DIR;
    return ENTRY_NONE;
}

// The status a stat call gave (its result and errno): only ENOENT says nothing is there.
EntryStatus StatusOf(int result, const struct stat& info) {
    if (result == 0) {
        return {KindOf(info), static_cast<std::int64_t>(info.st_size), IdentityIn(info), true, {}};
    }
    EntryStatus status;
    if (errno != ENOENT) status.failure = std::generic_category().message(errno);
    return status;
}

// A path as its steps between separators, and back.
std::string Joined(const std::vector<std::string>& steps) {
    std::string path;
    for (const std::string& step : steps) path += "/" + step;
    return path.empty() ? "/" : path;
}

std::vector<std::string> Steps(const std::string& path) {
    std::vector<std::string> steps;
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        if (end > at) steps.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return steps;
}

bool IsSymbolicLink(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

std::shared_ptr<TDirectory> TDirectory::Open(const std::string& path) {
    const int fd = OpenDirectoryFd(path);
    if (fd < 0) return nullptr;
    // A directory that can be listed but not searched names entries none of which can be
    // examined: it is as unreadable as one that cannot be listed.
    struct stat info {};
    DIR* listing = fstatat(fd, ".", &info, 0) == 0 ? fdopendir(fd) : nullptr;
    if (!listing) {
        close(fd);
        return nullptr;
    }
    return std::shared_ptr<TDirectory>(new TDirectory(listing));
}

TDirectory::~TDirectory() { closedir(static_cast<DIR*>(handle_)); }

std::string TDirectory::NextName() {
    errno = 0;
    const dirent* entry = readdir(static_cast<DIR*>(handle_));
    if (entry) return entry->d_name;
    if (errno != 0) listingFailed_ = true;
    return {};
}

EntryStatus TDirectory::Query(const std::string& name) const {
    struct stat info {};
    return StatusOf(fstatat(dirfd(static_cast<DIR*>(handle_)), name.c_str(), &info, 0), info);
}

std::unique_ptr<TReadStream> TDirectory::OpenFile(const std::string& name) const {
    const int fd = openat(dirfd(static_cast<DIR*>(handle_)), name.c_str(),
                          O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    const auto size = static_cast<std::int64_t>(info.st_size);
    return std::unique_ptr<TReadStream>(new TReadStream(fd, size));
}

FileIdentity TDirectory::Identity() const {
    struct stat info {};
    fstat(dirfd(static_cast<DIR*>(handle_)), &info);
    return IdentityIn(info);
}

bool TDirectory::IsLink(const std::string& name) const {
    struct stat info {};
    return fstatat(dirfd(static_cast<DIR*>(handle_)), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode);
}

EntryStatus QueryPath(const std::string& path) {
    struct stat info {};
    return StatusOf(stat(path.c_str(), &info), info);
}

int EntryType(const std::string& path) { return QueryPath(path).kind; }

bool FileIdentityOf(const std::string& path, FileIdentity& identity) {
    const EntryStatus status = QueryPath(path);
    if (!status.exists) return false;
    identity = status.identity;
    return true;
}

std::string FileStamp(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    std::string stamp;
    for (const auto part : {std::uint64_t(info.st_dev), std::uint64_t(info.st_ino),
                            std::uint64_t(info.st_size), std::uint64_t(info.st_mtim.tv_sec),
                            std::uint64_t(info.st_mtim.tv_nsec), std::uint64_t(info.st_ctim.tv_sec),
                            std::uint64_t(info.st_ctim.tv_nsec)}) {
        stamp += std::to_string(part) + ' ';
    }
    stamp.pop_back();
    return stamp;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool ReadLink(const std::string& path, std::string& target) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            target.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string RealPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return {};
    std::string real = resolved;
    std::free(resolved);
    return real;
}

void CreateOwnerOnlyFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                        posix::OWNER_ONLY);
    if (fd < 0) return;
    // The umask may have taken more than the group's and others' bits.
    fchmod(fd, posix::OWNER_ONLY);
    close(fd);
}

std::string CurrentDir() {
    std::vector<char> buffer(PATH_MAX);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool ChangeDir(const std::string& path) { return chdir(path.c_str()) == 0; }

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    const std::string current = CurrentDir();
    if (path.empty()) return current;
    return current == "/" ? "/" + path : current + "/" + path;
}

std::string ReachedPath(const std::string& path) {
    std::vector<std::string> reached;
    for (std::string& step : Steps(AbsolutePath(path))) {
        if (step == ".") continue;
        if (step != "..") {
            reached.push_back(std::move(step));
            continue;
        }
        if (reached.empty()) continue;
        const std::string here = Joined(reached);
        if (IsSymbolicLink(here)) {
            if (char* target = realpath(here.c_str(), nullptr)) {
                reached = Steps(target);
                free(target);
            }
        }
        if (!reached.empty()) reached.pop_back();
    }
    return Joined(reached);
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace rt
