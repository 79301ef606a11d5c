#pragma once
// A byte stream that reads a file from start to end; sizes and positions are 64-bit.

#include <cstdint>
#include <memory>
#include <string>

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

}  // namespace rt
