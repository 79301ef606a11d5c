#include "runtime/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace rt {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Permissions the replacement should carry: those of the file it replaces, if any.
mode_t ModeFor(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0666;
}

// A link is followed, so that the file it names is replaced and the link stays a link.
std::string LinkTarget(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

bool WriteAndClose(int fd, std::string_view bytes) {
    const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    return close(fd) == 0 && written;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = LinkTarget(path);
    // A file we may not write must not be replaced just because its directory is writable.
    const bool exists = access(target.c_str(), F_OK) == 0;
    if (exists && access(target.c_str(), W_OK) != 0) return false;
    const std::string temporary = target + ".tmp-" + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, ModeFor(target));
    if (fd < 0) {
        // A writable file in a directory we may not write to can only be rewritten in place.
        if (!exists || errno != EACCES) return false;
        const int inPlace = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        return inPlace >= 0 && WriteAndClose(inPlace, bytes);
    }
    if (WriteAndClose(fd, bytes) && rename(temporary.c_str(), target.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace rt
