#include "runtime/win32/win32_paths.h"

#include <string_view>
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

bool TargetAttributes(const std::string& path, DWORD& attributes, std::int64_t& size) {
    const std::wstring wide = LongPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return false;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        attributes = data.dwFileAttributes;
        size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return true;
    }
    // A link or junction: opening it reaches what it names (or fails when that is gone).
    const HANDLE handle = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known) return false;
    attributes = info.dwFileAttributes;
    size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

}  // namespace rt::win32
