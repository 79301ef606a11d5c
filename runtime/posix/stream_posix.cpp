#include "runtime/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace rt {

namespace {

// A regular file opened with the access flags, and its status; -1 for anything else. A
// pipe planted at the path would make open wait for its other end: it is never waited on.
int OpenRegular(const std::string& path, int access, struct stat& info) {
    const int fd = open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::unique_ptr<TReadStream> TReadStream::Open(const std::string& path) {
    struct stat info {};
    const int fd = OpenRegular(path, O_RDONLY, info);
    if (fd < 0) return nullptr;
    return std::unique_ptr<TReadStream>(new TReadStream(fd, static_cast<std::int64_t>(info.st_size)));
}

TReadStream::~TReadStream() { Close(); }

std::int64_t TReadStream::Read(void* buffer, std::int64_t count) {
    if (handle_ < 0 || count <= 0 || Eof()) return 0;
    // The stream ends at the size measured at open, also when the file grows meanwhile.
    count = std::min(count, size_ - position_);
    auto* bytes = static_cast<char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t n = read(static_cast<int>(handle_), bytes + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A file that shrank or a read error: end here so the reader terminates.
            failed_ = n < 0;
            size_ = position_ + done;
            break;
        }
        done += n;
    }
    position_ += done;
    return done;
}

void TReadStream::Close() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
    handle_ = -1;
}

std::unique_ptr<TPatchStream> TPatchStream::Open(const std::string& path) {
    struct stat info {};
    const int fd = OpenRegular(path, O_WRONLY, info);
    if (fd < 0) return nullptr;
    return std::unique_ptr<TPatchStream>(new TPatchStream(fd));
}

TPatchStream::~TPatchStream() { close(static_cast<int>(handle_)); }

bool TPatchStream::WriteAt(std::int64_t offset, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = pwrite(static_cast<int>(handle_), bytes.data(), bytes.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

}  // namespace rt
