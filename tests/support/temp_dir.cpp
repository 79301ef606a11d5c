#include "tests/support/temp_dir.h"

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

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

namespace {

// Gives entries their owner's permissions back (tests may take them away, and on Windows a
// read-only file cannot be deleted) and removes them, deepest first. The library's
// remove_all is not used: under Wine it was seen looping for ever over a file that went
// away while it worked.
void RemoveTree(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::file_status status = fs::symlink_status(path, ignored);
    if (fs::is_directory(status)) {
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(path, ignored), end; !ignored && it != end; it.increment(ignored))
            entries.push_back(it->path());
        for (const fs::path& entry : entries) RemoveTree(entry);
    }
#ifdef _WIN32
    else if (!fs::is_symlink(status)) {
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
    }
#endif
    fs::remove(path, ignored);
}

}  // namespace

TempDir::~TempDir() {
    namespace fs = std::filesystem;
    const fs::path root = rt::NativePath(path_);
    // On Windows a file that a stopped run's digest worker still reads goes only when the
    // worker closes it, and its directory with it: the removal is tried again for a while.
    for (int attempt = 0; attempt < 50; ++attempt) {
        RemoveTree(root);
        std::error_code ignored;
        if (!fs::exists(fs::symlink_status(root, ignored))) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
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
