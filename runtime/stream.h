#pragma once
// A byte stream that reads a file from start to end, and a file written in place a few
// bytes at a time; sizes and positions are 64-bit.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

class TReadStream {
public:
    // Null when the file cannot be opened for reading. The size is measured at open.
    static std::unique_ptr<TReadStream> Open(const std::string& path);
    ~TReadStream();
    TReadStream(const TReadStream&) = delete;
    TReadStream& operator=(const TReadStream&) = delete;

    // Reads up to count bytes, never past the size measured at open; returns the number
    // read (0 at the end or on a read error, which also makes Eof true so that a reader
    // always terminates).
    std::int64_t Read(void* buffer, std::int64_t count);
    bool Eof() const { return position_ >= size_; }
    // Whether a read failed: the bytes read are then not the whole file.
    bool Failed() const { return failed_; }
    std::int64_t Size() const { return size_; }
    std::int64_t Position() const { return position_; }
    void Close();

private:
    friend class TDirectory;
    // A file descriptor, or a Windows file handle; -1 when closed.
    TReadStream(std::intptr_t handle, std::int64_t size) : handle_(handle), size_(size) {}
    std::intptr_t handle_;
    std::int64_t size_;
    std::int64_t position_ = 0;
    bool failed_ = false;
};

// A regular file whose bytes are overwritten where they are, without a new file: each
// write reaches the file at once, so that a kill right after it keeps it. Where the
// platform can, bytes inside the file are written through a shared view of their pages,
// without a system call for each write.
class TPatchStream {
public:
    // Null when the path names no regular file that can be written.
    static std::unique_ptr<TPatchStream> Open(const std::string& path);
    ~TPatchStream();
    TPatchStream(const TPatchStream&) = delete;
    TPatchStream& operator=(const TPatchStream&) = delete;

    bool WriteAt(std::int64_t offset, std::string_view bytes);

private:
    explicit TPatchStream(std::intptr_t handle) : handle_(handle) {}
    // The view's bytes for these, mapped anew when they lie outside it; null when they
    // cannot be mapped (past the file's end, or a file system that maps no file: that one
    // is not asked again).
    char* Viewed(std::int64_t offset, std::size_t size);

    std::intptr_t handle_;  // a file descriptor, or a Windows file handle
    char* view_ = nullptr;
    std::int64_t viewStart_ = 0;
    std::size_t viewSize_ = 0;
    bool viewRefused_ = false;
};

}  // namespace rt
