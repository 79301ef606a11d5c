#include "runtime/filesystem.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace rt {

std::unique_ptr<TDirListing> TDirListing::Open(const std::string& path) {
    DIR* dir = opendir(path.c_str());
    if (!dir) return nullptr;
    return std::unique_ptr<TDirListing>(new TDirListing(dir));
}

TDirListing::~TDirListing() { Close(); }

std::string TDirListing::NextName() {
    if (!handle_) return {};
    const dirent* entry = readdir(static_cast<DIR*>(handle_));
    return entry ? std::string(entry->d_name) : std::string();
}

void TDirListing::Close() {
    if (handle_) closedir(static_cast<DIR*>(handle_));
    handle_ = nullptr;
}

int EntryType(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return ENTRY_NONE;
    if (S_ISREG(info.st_mode)) return ENTRY_FILE;
    if (S_ISDIR(info.st_mode)) return ENTRY_DIR;
    return ENTRY_NONE;
}

std::int64_t FileSize(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::string CurrentDir() {
    std::vector<char> buffer(PATH_MAX);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool ChangeDir(const std::string& path) { return chdir(path.c_str()) == 0; }

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    const std::string current = CurrentDir();
    if (path.empty()) return current;
    return current == "/" ? "/" + path : current + "/" + path;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool DirIdentityOf(const std::string& path, DirIdentity& identity) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.inode = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

}  // namespace rt
