#include "runtime/filesystem.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "runtime/stream.h"
#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {

// The directory stays open for its identity and so that it cannot be removed or renamed
// while in use; its entries are reached through its long path, since Win32 has no calls
// relative to a directory handle.
struct OpenDirectory {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring path;  // "\\?\" form, ending in "\"
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW found{};
    bool started = false;
    bool exhausted = false;

    std::wstring Child(const std::string& name) const { return path + win32::Wide(name); }
};

OpenDirectory& Opened(void* handle) { return *static_cast<OpenDirectory*>(handle); }

// Starts the listing; false when it holds nothing at all (an empty drive root) or fails.
bool StartListing(OpenDirectory& directory) {
    directory.started = true;
    directory.find = FindFirstFileExW((directory.path + L'*').c_str(), FindExInfoBasic,
                                      &directory.found, FindExSearchNameMatch, nullptr,
                                      FIND_FIRST_EX_LARGE_FETCH);
    return directory.find != INVALID_HANDLE_VALUE;
}

// Whether the listing's last call ended it on an error rather than after its last name.
bool EndedOnError() {
    const DWORD error = GetLastError();
    return error != ERROR_NO_MORE_FILES && error != ERROR_FILE_NOT_FOUND;
}

bool AdvanceListing(OpenDirectory& directory) {
    if (!directory.started) return StartListing(directory);
    return directory.find != INVALID_HANDLE_VALUE && FindNextFileW(directory.find, &directory.found);
}

// The "\\?\" and "\??\" forms as a link would be written by hand: "C:\x", "\\server\x".
std::wstring PlainPath(const std::wstring& path) {
    for (const wchar_t* prefix : {L"\\\\?\\", L"\\??\\"}) {
        if (path.rfind(prefix, 0) != 0) continue;
        const std::wstring rest = path.substr(4);
        return rest.rfind(L"UNC\\", 0) == 0 ? L"\\\\" + rest.substr(4) : rest;
    }
    return path;
}

// The head of a symbolic link's or a junction's reparse data (the system's headers keep it
// for drivers); a symbolic link's has a flags word before its names.
struct LinkReparseData {
    ULONG tag;
    USHORT dataLength;
    USHORT reserved;
    USHORT substituteOffset;
    USHORT substituteLength;
    USHORT printOffset;
    USHORT printLength;
};

// The target of the symbolic link or junction at the long path, read from the reparse
// point itself, without opening what it leads to. False for any other kind of reparse
// point (a file kept elsewhere by a storage service is an ordinary file here) and for a
// junction to a volume that has no drive path.
bool ReadLinkAt(const std::wstring& longPath, std::wstring& target) {
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return false;
    }
    const HANDLE link = CreateFileW(longPath.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (link == INVALID_HANDLE_VALUE) return false;
    std::vector<char> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    const bool read = DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), &size, nullptr) != 0;
    CloseHandle(link);
    if (!read || size < sizeof(LinkReparseData)) return false;
    LinkReparseData head{};
    std::memcpy(&head, buffer.data(), sizeof head);
    std::size_t names = sizeof head;
    if (head.tag == IO_REPARSE_TAG_SYMLINK) {
        names += sizeof(ULONG);
    } else if (head.tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return false;
    }
    const std::size_t from = names + head.substituteOffset;
    if (from + head.substituteLength > size) return false;
    std::wstring written(head.substituteLength / sizeof(wchar_t), L'\0');
    std::memcpy(written.data(), buffer.data() + from, written.size() * sizeof(wchar_t));
    target = PlainPath(written);
    return target.rfind(L"Volume{", 0) != 0;
}

std::wstring WithSeparator(std::wstring path) {
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

}  // namespace

std::shared_ptr<TDirectory> TDirectory::Open(const std::string& path) {
    const std::wstring longPath = win32::LongPath(path);
    const HANDLE handle = win32::OpenForQuery(longPath);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    if (win32::StatusOf(handle).kind != ENTRY_DIR) {
        CloseHandle(handle);
        return nullptr;
    }
    auto* directory = new OpenDirectory;
    directory->handle = handle;
    directory->path = WithSeparator(longPath);
    return std::shared_ptr<TDirectory>(new TDirectory(directory));
}

TDirectory::~TDirectory() {
    OpenDirectory& directory = Opened(handle_);
    if (directory.find != INVALID_HANDLE_VALUE) FindClose(directory.find);
    CloseHandle(directory.handle);
    delete &directory;
}

std::string TDirectory::NextName() {
    OpenDirectory& directory = Opened(handle_);
    if (directory.exhausted) return {};
    if (!AdvanceListing(directory)) {
        directory.exhausted = true;
        listingFailed_ = EndedOnError();
        return {};
    }
    return win32::Narrow(directory.found.cFileName, wcslen(directory.found.cFileName));
}

EntryStatus TDirectory::Query(const std::string& name) const {
    return win32::StatusAt(Opened(handle_).Child(name));
}

std::unique_ptr<TReadStream> TDirectory::OpenFile(const std::string& name) const {
    // The child's "\\?\" path is taken as it is, not resolved again.
    return TReadStream::Open(win32::Narrow(Opened(handle_).Child(name)));
}

FileIdentity TDirectory::Identity() const { return win32::StatusOf(Opened(handle_).handle).identity; }

bool TDirectory::IsLink(const std::string& name) const {
    std::wstring target;
    return ReadLinkAt(Opened(handle_).Child(name), target);
}

EntryStatus QueryPath(const std::string& path) { return win32::StatusAt(win32::LongPath(path)); }

int EntryType(const std::string& path) { return QueryPath(path).kind; }

bool FileIdentityOf(const std::string& path, FileIdentity& identity) {
    const EntryStatus status = QueryPath(path);
    if (!status.exists) return false;
    identity = status.identity;
    return true;
}

std::string FileStamp(const std::string& path) {
    const HANDLE handle = win32::OpenForQuery(win32::LongPath(path));
    if (handle == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!known) return {};
    const auto wide = [](DWORD high, DWORD low) { return (std::uint64_t(high) << 32) | low; };
    std::string stamp;
    for (const std::uint64_t part :
         {std::uint64_t(info.dwVolumeSerialNumber), wide(info.nFileIndexHigh, info.nFileIndexLow),
          wide(info.nFileSizeHigh, info.nFileSizeLow),
          wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)}) {
        stamp += std::to_string(part) + ' ';
    }
    stamp.pop_back();
    return stamp;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(win32::LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadLink(const std::string& path, std::string& target) {
    std::wstring written;
    if (!ReadLinkAt(win32::LongPath(path), written)) return false;
    target = win32::Narrow(written);
    return true;
}

std::string RealPath(const std::string& path) {
    const HANDLE handle = win32::OpenForQuery(win32::LongPath(path));
    if (handle == INVALID_HANDLE_VALUE) return {};
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    if (length == 0 || length >= buffer.size()) return {};
    return win32::Narrow(PlainPath(std::wstring(buffer.data(), length)));
}

// A new file inherits its directory's access control list, which is what the owner set.
void CreateOwnerOnlyFile(const std::string&) {}

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

// The system itself takes ".." steps by the text of the path, before any link.
std::string ReachedPath(const std::string& path) { return AbsolutePath(path); }

bool RemoveFile(const std::string& path) { return DeleteFileW(win32::LongPath(path).c_str()) != 0; }

bool RenameFile(const std::string& from, const std::string& to) {
    return MoveFileExW(win32::LongPath(from).c_str(), win32::LongPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace rt
