#include "tests/support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "runtime/native_path.h"
#include "runtime/path.h"

namespace testsupport {

TempDir::TempDir() {
    namespace fs = std::filesystem;
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        char suffix[13];
        std::snprintf(suffix, sizeof suffix, "%012llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFULL));
        const fs::path candidate = base / ("tervala-test-" + std::string(suffix));
        std::error_code code;
        // create_directory is false for a directory that was there already.
        if (fs::create_directory(candidate, code)) {
            // Only its owner's, as mkdtemp makes it.
            fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, code);
            path_ = rt::PathText(candidate);
        }
    }
    if (path_.empty()) throw std::runtime_error("cannot make a temporary directory");
    while (path_.size() > 1 && (path_.back() == '/' || path_.back() == rt::PATH_SEPARATOR))
        path_.pop_back();
}

TempDir::~TempDir() {
    std::error_code ignored;
    const std::filesystem::path root = rt::NativePath(path_);
    // Tests may leave directories without permissions, and on Windows a read-only file
    // cannot be deleted; give them back before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_symlink(ignored)) continue;
        const bool directory = it->is_directory(ignored);
#ifndef _WIN32
        if (!directory) continue;
#endif
        std::filesystem::permissions(
            it->path(), directory ? std::filesystem::perms::owner_all : std::filesystem::perms::owner_write,
            std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(root, ignored);
}

std::string TempDir::operator/(const std::string& name) const {
    std::string joined = path_ + rt::PATH_SEPARATOR + name;
    // Names below the directory are written with "/" in the tests.
    for (char& c : joined)
        if (c == '/') c = rt::PATH_SEPARATOR;
    return joined;
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::string full = *this / name;
    std::filesystem::create_directories(rt::NativePath(full).parent_path());
    std::ofstream(rt::NativePath(full), std::ios::binary) << bytes;
    return full;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(rt::NativePath(*this / name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace testsupport
