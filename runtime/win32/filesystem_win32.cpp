#include "runtime/filesystem.h"

#include <windows.h>

#include <vector>

#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {

// A listing in progress: FindFirstFileW already holds the first name.
struct Listing {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;
};

bool IsDirectoryAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::unique_ptr<TDirListing> TDirListing::Open(const std::string& path) {
    const std::wstring directory = win32::LongPath(path);
    std::wstring pattern = directory;
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    auto* listing = new Listing;
    listing->find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &listing->data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (listing->find != INVALID_HANDLE_VALUE) {
        listing->pending = true;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND || !IsDirectoryAt(directory)) {
        // An empty drive root lists nothing at all; anything else that fails is unreadable.
        delete listing;
        return nullptr;
    }
    return std::unique_ptr<TDirListing>(new TDirListing(listing));
}

TDirListing::~TDirListing() { Close(); }

std::string TDirListing::NextName() {
    auto* listing = static_cast<Listing*>(handle_);
    if (!listing || listing->find == INVALID_HANDLE_VALUE) return {};
    if (!listing->pending && !FindNextFileW(listing->find, &listing->data)) {
        FindClose(listing->find);
        listing->find = INVALID_HANDLE_VALUE;
        return {};
    }
    listing->pending = false;
    return win32::Narrow(listing->data.cFileName, wcslen(listing->data.cFileName));
}

void TDirListing::Close() {
    auto* listing = static_cast<Listing*>(handle_);
    if (listing && listing->find != INVALID_HANDLE_VALUE) FindClose(listing->find);
    delete listing;
    handle_ = nullptr;
}

int EntryType(const std::string& path) {
    DWORD attributes = 0;
    std::int64_t size = 0;
    if (!win32::TargetAttributes(path, attributes, size)) return ENTRY_NONE;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ENTRY_DIR;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return ENTRY_NONE;
    return ENTRY_FILE;
}

std::int64_t FileSize(const std::string& path) {
    DWORD attributes = 0;
    std::int64_t size = 0;
    if (!win32::TargetAttributes(path, attributes, size)) return -1;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : size;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(win32::LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string CurrentDir() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return {};
        if (length < buffer.size()) return win32::Narrow(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

// The current directory takes the ordinary form; "\\?\" is not accepted there everywhere.
bool ChangeDir(const std::string& path) {
    return SetCurrentDirectoryW(win32::Wide(path).c_str()) != 0;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return CurrentDir();
    const std::wstring wide = win32::Wide(path);
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0) return path;
        if (length < buffer.size()) return win32::Narrow(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

bool RemoveFile(const std::string& path) { return DeleteFileW(win32::LongPath(path).c_str()) != 0; }

bool DirIdentityOf(const std::string& path, DirIdentity& identity) {
    // Opening follows links and junctions, so every path to one directory meets the same
    // volume serial number and file index.
    const HANDLE handle = CreateFileW(win32::LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known) return false;
    identity.device = info.dwVolumeSerialNumber;
    identity.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

}  // namespace rt
