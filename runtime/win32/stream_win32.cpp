#include "runtime/stream.h"

#include <windows.h>

#include <algorithm>

#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {
HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

std::unique_ptr<TReadStream> TReadStream::Open(const std::string& path) {
    const HANDLE file = win32::OpenRegularFile(win32::LongPath(path));
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    const std::int64_t size = win32::StatusOf(file).size;
    return std::unique_ptr<TReadStream>(new TReadStream(reinterpret_cast<std::intptr_t>(file), size));
}

TReadStream::~TReadStream() { Close(); }

std::int64_t TReadStream::Read(void* buffer, std::int64_t count) {
    if (handle_ == -1 || count <= 0 || Eof()) return 0;
    // The stream ends at the size measured at open, also when the file grows meanwhile.
    count = std::min(count, size_ - position_);
    auto* bytes = static_cast<char*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 30));
        DWORD n = 0;
        const bool read = ReadFile(AsHandle(handle_), bytes + done, chunk, &n, nullptr) != 0;
        if (!read || n == 0) {
            // A file that shrank or a read error: end here so the reader terminates.
            failed_ = !read;
            size_ = position_ + done;
            break;
        }
        done += n;
    }
    position_ += done;
    return done;
}

void TReadStream::Close() {
    if (handle_ != -1) CloseHandle(AsHandle(handle_));
    handle_ = -1;
}

std::unique_ptr<TPatchStream> TPatchStream::Open(const std::string& path) {
    const HANDLE file = CreateFileW(win32::LongPath(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    if (GetFileType(file) != FILE_TYPE_DISK || win32::StatusOf(file).kind != ENTRY_FILE) {
        CloseHandle(file);
        return nullptr;
    }
    return std::unique_ptr<TPatchStream>(new TPatchStream(reinterpret_cast<std::intptr_t>(file)));
}

TPatchStream::~TPatchStream() { CloseHandle(AsHandle(handle_)); }

bool TPatchStream::WriteAt(std::int64_t offset, std::string_view bytes) {
    while (!bytes.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD n = 0;
        if (!WriteFile(AsHandle(handle_), bytes.data(), chunk, &n, &at) || n == 0) return false;
        bytes.remove_prefix(n);
        offset += n;
    }
    return true;
}

}  // namespace rt
