#include "runtime/textfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "runtime/filesystem.h"
#include "runtime/posix/owner_only_posix.h"

namespace rt {
namespace {

enum class Replacement { Done, Failed, Refused };

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool WriteAt(int fd, std::string_view bytes, std::size_t offset) {
    return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0 && WriteAll(fd, bytes);
}

bool ReadAll(int fd, std::string& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// A link is followed, so that the file it names is replaced and the link stays a link.
std::string LinkTarget(const std::string& path) {
    std::string target = RealPath(path);
    return target.empty() ? path : target;
}

// A new file in its place would not be the same file to everything that knows it: a pipe
// or a device, a file with other names, or one that belongs to another user.
bool MustStayTheSameFile(const struct stat& info) {
    return !S_ISREG(info.st_mode) || info.st_nlink > 1 || info.st_uid != geteuid();
}

// Only what differs from the file's bytes is written, so a log that grew is appended to.
// When a write fails the file gets its old bytes and length back.
bool RewriteRegularFile(const std::string& target, std::string_view bytes) {
    const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    std::string old;
    bool written = false;
    if (ReadAll(fd, old)) {
        std::size_t same = 0;
        while (same < old.size() && same < bytes.size() && old[same] == bytes[same]) ++same;
        written = WriteAt(fd, bytes.substr(same), same) &&
                  ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
        if (!written) {
            WriteAt(fd, std::string_view(old).substr(same), same);
            ftruncate(fd, static_cast<off_t>(old.size()));
        }
    }
    return close(fd) == 0 && written;
}

// A pipe or a device takes the bytes as a stream; a pipe nobody reads fails at once
// instead of waiting for a reader.
bool WriteToStream(const std::string& target, std::string_view bytes) {
    const int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 &&
                         WriteAll(fd, bytes);
    return close(fd) == 0 && written;
}

bool WriteInPlace(const std::string& target, const struct stat& info, std::string_view bytes) {
    return S_ISREG(info.st_mode) ? RewriteRegularFile(target, bytes)
                                 : WriteToStream(target, bytes);
}

bool StillNamed(int fd, const std::string& path) {
    struct stat held {}, named {};
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// The new file is written under one name per target, so that what a killed write left
// behind is taken over and renamed away by the next one. Each writer holds a lock on it
// from before it empties the file until after it renamed it, and takes over only the file
// that still has the name once it holds the lock: two programs writing the same target
// take turns instead of writing into one file. A pipe or a link planted under that name
// is refused, and never waited on.
int OpenLockedTemporary(const std::string& temporary) {
    for (;;) {
        const int fd = open(temporary.c_str(),
                            O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                            posix::OWNER_ONLY);
        if (fd < 0) return -1;
        struct stat info {};
        const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        if (!regular || flock(fd, LOCK_EX) != 0) {
            close(fd);
            if (!regular) errno = EINVAL;
            return -1;
        }
        if (StillNamed(fd, temporary)) return fd;
        // Another writer renamed or removed the file while this one waited: a fresh one.
        close(fd);
    }
}

// The file a replacement makes carries the mode, owner and group of the file it replaces;
// a file that replaces none is its owner's alone, also when a killed write left it otherwise.
bool SetModeAndOwner(int fd, const struct stat* old) {
    if (!old) return fchmod(fd, posix::OWNER_ONLY) == 0;
    return fchmod(fd, old->st_mode & 07777) == 0 && fchown(fd, old->st_uid, old->st_gid) == 0;
}

Replacement ReplaceByNewFile(const std::string& target, std::string_view bytes,
                             const struct stat* old) {
    const std::string temporary = target + REPLACEMENT_SUFFIX;
    const int fd = OpenLockedTemporary(temporary);
    if (fd < 0) return errno == EACCES ? Replacement::Refused : Replacement::Failed;
    if (!SetModeAndOwner(fd, old)) {
        unlink(temporary.c_str());
        close(fd);
        return Replacement::Refused;
    }
    // What a killed write left in it goes first.
    const bool written = ftruncate(fd, 0) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    // The lock is held until the file has its new name.
    if (written && rename(temporary.c_str(), target.c_str()) == 0) {
        close(fd);
        return Replacement::Done;
    }
    unlink(temporary.c_str());
    close(fd);
    return Replacement::Failed;
}

bool InOwnGroups(gid_t group) {
    if (group == getegid()) return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? std::size_t(count) : 0);
    const int listed = getgroups(count, groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(listed, 0), group) !=
           groups.begin() + std::max(listed, 0);
}

}  // namespace

bool ReplaceableByRename(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return errno == ENOENT;
    return !MustStayTheSameFile(info) && InOwnGroups(info.st_gid) && access(path.c_str(), W_OK) == 0;
}

bool RenameOver(const std::string& replacement, const std::string& path) {
    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0;
    const int fd = open(replacement.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool carried = SetModeAndOwner(fd, exists ? &old : nullptr);
    return close(fd) == 0 && carried && rename(replacement.c_str(), path.c_str()) == 0;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::string target = LinkTarget(path);
    struct stat info {};
    const bool exists = stat(target.c_str(), &info) == 0;
    // A file we may not write must not be replaced just because its directory is writable.
    if (exists && access(target.c_str(), W_OK) != 0) return false;
    if (exists && MustStayTheSameFile(info)) return WriteInPlace(target, info, bytes);
    switch (ReplaceByNewFile(target, bytes, exists ? &info : nullptr)) {
        case Replacement::Done: return true;
        case Replacement::Failed: return false;
        // A writable file in a directory we may not write to can only be rewritten in place.
        case Replacement::Refused: return exists && WriteInPlace(target, info, bytes);
    }
    return false;
}

}  // namespace rt
