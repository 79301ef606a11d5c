#include "runtime/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/clock.h"
#include "runtime/filesystem.h"

namespace rt {
namespace {

constexpr std::uint32_t RETRY_MS = 5;

bool StillNamed(int fd, const std::string& path) {
    struct stat held {}, named {};
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// A pipe planted there would make open wait for a writer: never wait, never take one.
int OpenRegular(const std::string& path, bool create, TFileLock::Outcome& outcome) {
    if (create) CreateOwnerOnlyFile(path);
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        outcome = errno == ENOENT ? TFileLock::Outcome::Missing : TFileLock::Outcome::Failed;
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        outcome = TFileLock::Outcome::Failed;
        return -1;
    }
    return fd;
}

}  // namespace

// flock, not fcntl: a lock of fcntl would go whenever the database layer closes any
// descriptor of the same file.
std::unique_ptr<TFileLock> TFileLock::Acquire(const std::string& path, bool create,
                                              std::uint32_t timeoutMs, Outcome& outcome) {
    const std::uint64_t due = Millisecs() + timeoutMs;
    for (;;) {
        const int fd = OpenRegular(path, create, outcome);
        if (fd < 0) return nullptr;
        while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool held = errno == EWOULDBLOCK || errno == EINTR;
            if (!held || Millisecs() >= due) {
                outcome = held ? Outcome::Busy : Outcome::Failed;
                close(fd);
                return nullptr;
            }
            SleepMs(RETRY_MS);
        }
        if (StillNamed(fd, path)) {
            outcome = Outcome::Held;
            return std::unique_ptr<TFileLock>(new TFileLock(fd));
        }
        // The holder replaced the file while this one waited: lock the one named now.
        close(fd);
    }
}

bool TFileLock::Holds(const std::string& path) const {
    return StillNamed(static_cast<int>(handle_), path);
}

TFileLock::~TFileLock() { close(static_cast<int>(handle_)); }

}  // namespace rt
