#include "runtime/stream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

// Read access too: a shared view that is written needs it.
std::unique_ptr<TPatchStream> TPatchStream::Open(const std::string& path) {
    struct stat info {};
    const int fd = OpenRegular(path, O_RDWR, info);
    if (fd < 0) return nullptr;
    return std::unique_ptr<TPatchStream>(new TPatchStream(fd));
}

TPatchStream::~TPatchStream() {
    if (view_) munmap(view_, viewSize_);
    close(static_cast<int>(handle_));
}

// The view's pages are the file's own, so a write to them stays when the process is
// killed right after. Another program that cut the file short meanwhile would make such a
// write fail with SIGBUS: the file patched is one of the program's own, beside a datafile
// it holds locked.
char* TPatchStream::Viewed(std::int64_t offset, std::size_t size) {
    const auto end = offset + static_cast<std::int64_t>(size);
    if (view_ && offset >= viewStart_ && end <= viewStart_ + static_cast<std::int64_t>(viewSize_)) {
        return view_ + (offset - viewStart_);
    }
    if (view_) munmap(view_, viewSize_);
    view_ = nullptr;
    if (viewRefused_) return nullptr;
    struct stat info {};
    if (fstat(static_cast<int>(handle_), &info) != 0 || end > info.st_size) return nullptr;
    const std::int64_t page = sysconf(_SC_PAGESIZE);
    const std::int64_t start = offset / page * page;
    void* view = mmap(nullptr, static_cast<std::size_t>(end - start), PROT_READ | PROT_WRITE,
                      MAP_SHARED, static_cast<int>(handle_), start);
    viewRefused_ = view == MAP_FAILED;
    if (viewRefused_) return nullptr;
    view_ = static_cast<char*>(view);
    viewStart_ = start;
    viewSize_ = static_cast<std::size_t>(end - start);
    return view_ + (offset - start);
}

bool TPatchStream::WriteAt(std::int64_t offset, std::string_view bytes) {
    if (char* at = Viewed(offset, bytes.size())) {
        std::memcpy(at, bytes.data(), bytes.size());
        return true;
    }
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
