#include "runtime/textfile.h"

#include <windows.h>

#include <vector>

#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {

bool WriteAndClose(HANDLE file, std::string_view bytes) {
    bool written = true;
    while (written && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD n = 0;
        written = WriteFile(file, bytes.data(), chunk, &n, nullptr) && n > 0;
        bytes.remove_prefix(n);
    }
    written = written && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}

// A link is followed, so that the file it names is replaced and the link stays a link.
std::wstring LinkTarget(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= buffer.size()) return path;
    return std::wstring(buffer.data(), length);
}

HANDLE CreateForWriting(const std::wstring& path, DWORD disposition) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::wstring target = LinkTarget(win32::LongPath(path));
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A file we may not write must not be replaced just because its directory is writable.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
    const std::wstring temporary = target + L".tmp-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE file = CreateForWriting(temporary, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        // A writable file in a directory we may not write to can only be rewritten in place.
        if (!exists || GetLastError() != ERROR_ACCESS_DENIED) return false;
        const HANDLE inPlace = CreateForWriting(target, TRUNCATE_EXISTING);
        return inPlace != INVALID_HANDLE_VALUE && WriteAndClose(inPlace, bytes);
    }
    if (WriteAndClose(file, bytes) &&
        MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace rt
