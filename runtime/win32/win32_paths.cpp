#include "runtime/win32/win32_paths.h"

#include <string_view>
#include <system_error>
#include <vector>

#include "runtime/text.h"

namespace rt::win32 {

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = Utf8ToWideName(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(const wchar_t* units, std::size_t count) {
    return WideNameToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(units), count));
}

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// An absolute path the system would not change on the way to its "\\?\" form: "/", ".",
// ".." and empty components need GetFullPathNameW. Taken as it is, a name that ends in a
// dot or a blank keeps it (GetFullPathNameW would drop it and miss the file).
bool IsPlainAbsolute(const std::wstring& path) {
    std::size_t start = 0;
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
        start = 3;
    } else if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.') {
        start = 2;
    } else {
        return false;
    }
    if (path.find(L'/') != std::wstring::npos) return false;
    while (start < path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring_view part(path.data() + start, end - start);
        if (part.empty() || part == L"." || part == L"..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::wstring LongPath(const std::string& utf8) {
    std::wstring wide = Wide(utf8);
    if (wide.empty() || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    if (IsPlainAbsolute(wide)) {
        if (wide[1] == L'\\') return L"\\\\?\\UNC\\" + wide.substr(2);
        return L"\\\\?\\" + wide;
    }
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()),
                                              buffer.data(), nullptr);
        if (length == 0) return wide;
        if (length < buffer.size()) {
            wide.assign(buffer.data(), length);
            break;
        }
        buffer.resize(length + 1);
    }
    if (wide.rfind(L"\\\\.\\", 0) == 0) return wide;  // a device stays as it is
    if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}

HANDLE OpenForQuery(const std::wstring& longPath) {
    // Backup semantics open a directory as well; without FILE_FLAG_OPEN_REPARSE_POINT the
    // open goes through links and junctions.
    return CreateFileW(longPath.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

HANDLE OpenRegularFile(const std::wstring& longPath) {
    // Others may go on writing, renaming or deleting the file while it is read. Without
    // backup semantics a directory does not open.
    const HANDLE file = CreateFileW(longPath.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE || StatusOf(file).kind == ENTRY_FILE) return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

EntryStatus FailedStatus(DWORD error) {
    EntryStatus status;
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        status.failure = std::system_category().message(static_cast<int>(error));
    }
    return status;
}

EntryStatus StatusOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return FailedStatus(GetLastError());
    EntryStatus status;
    status.exists = true;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        status.kind = ENTRY_DIR;
    } else if (GetFileType(handle) == FILE_TYPE_DISK &&
               !(info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)) {
        status.kind = ENTRY_FILE;
    }
    status.size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    // The volume serial number and the file index name one file whatever path reached it.
    status.identity.device = info.dwVolumeSerialNumber;
    status.identity.inode =
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return status;
}

EntryStatus StatusAt(const std::wstring& longPath) {
    const HANDLE handle = OpenForQuery(longPath);
    if (handle == INVALID_HANDLE_VALUE) return FailedStatus(GetLastError());
    const EntryStatus status = StatusOf(handle);
    CloseHandle(handle);
    return status;
}

}  // namespace rt::win32
