#include "runtime/textfile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "runtime/filesystem.h"
#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {

enum class Replacement { Done, Failed, Refused };

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD n = 0;
        if (!WriteFile(file, bytes.data(), chunk, &n, nullptr) || n == 0) return false;
        bytes.remove_prefix(n);
    }
    return true;
}

bool WriteAt(HANDLE file, std::string_view bytes, std::size_t offset) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && WriteAll(file, bytes);
}

bool Truncate(HANDLE file, std::size_t length) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

bool ReadAll(HANDLE file, std::string& bytes) {
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) return false;
        if (n == 0) return true;
        bytes.append(buffer, n);
    }
}

// A link is followed, so that the file it names is replaced and the link stays a link.
std::wstring LinkTarget(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const HANDLE file = win32::OpenForQuery(path);
    if (file == INVALID_HANDLE_VALUE) return path;
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= buffer.size()) return path;
    return std::wstring(buffer.data(), length);
}

// A new file in its place would not be the same file to everything that knows it: a pipe
// or a device, or a file with other names.
bool MustStayTheSameFile(const std::wstring& target) {
    const HANDLE file = win32::OpenForQuery(target);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = GetFileType(file) == FILE_TYPE_DISK;
    const bool oneName = GetFileInformationByHandle(file, &info) && info.nNumberOfLinks <= 1;
    CloseHandle(file);
    return !regular || !oneName;
}

// Only what differs from the file's bytes is written, so a log that grew is appended to.
// When a write fails the file gets its old bytes and length back.
bool RewriteRegularFile(HANDLE file, std::string_view bytes) {
    std::string old;
    if (!ReadAll(file, old)) return false;
    std::size_t same = 0;
    while (same < old.size() && same < bytes.size() && old[same] == bytes[same]) ++same;
    const bool written = WriteAt(file, bytes.substr(same), same) &&
                         Truncate(file, bytes.size()) && FlushFileBuffers(file);
    if (!written) {
        WriteAt(file, std::string_view(old).substr(same), same);
        Truncate(file, old.size());
    }
    return written;
}

// A pipe or a device takes the bytes as a stream.
bool WriteInPlace(const std::wstring& target, std::string_view bytes) {
    const HANDLE file = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = GetFileType(file) == FILE_TYPE_DISK ? RewriteRegularFile(file, bytes)
                                                             : WriteAll(file, bytes);
    return CloseHandle(file) && written;
}

// ReplaceFileW gives the new file the replaced one's attributes and security (its owner
// and access rights), as a new file would not have them.
bool PutInPlace(const std::wstring& temporary, const std::wstring& target, bool exists) {
    if (exists) {
        return ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    }
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

Replacement ReplaceByNewFile(const std::wstring& target, std::string_view bytes, bool exists) {
    // One name per target: what a killed write left is overwritten and renamed away by the next.
    const std::wstring temporary = target + win32::Wide(REPLACEMENT_SUFFIX);
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED ? Replacement::Refused : Replacement::Failed;
    }
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    if (CloseHandle(file) && written && PutInPlace(temporary, target, exists)) {
        return Replacement::Done;
    }
    DeleteFileW(temporary.c_str());
    return Replacement::Failed;
}

}  // namespace

bool ReplaceableByRename(const std::string& path) {
    return GetFileAttributesW(win32::LongPath(path).c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool RenameOver(const std::string& replacement, const std::string& path) {
    return RenameFile(replacement, path);
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::wstring target = LinkTarget(win32::LongPath(path));
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A file we may not write must not be replaced just because its directory is writable.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
    if (exists && MustStayTheSameFile(target)) return WriteInPlace(target, bytes);
    switch (ReplaceByNewFile(target, bytes, exists)) {
        case Replacement::Done: return true;
        case Replacement::Failed: return false;
        // A writable file in a directory we may not write to can only be rewritten in place.
        case Replacement::Refused: return exists && WriteInPlace(target, bytes);
    }
    return false;
}

}  // namespace rt
