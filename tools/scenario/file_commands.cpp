#include "tools/scenario/file_commands.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "runtime/native_path.h"

namespace fs = std::filesystem;
using rt::NativePath;

namespace scenario {
namespace {

bool Failed(const std::string& what, const std::string& path, const std::error_code& code,
            std::string& error) {
    error = "cannot " + what + " " + path + ": " + code.message();
    return false;
}

bool MakeParents(const std::string& path, std::string& error) {
    const fs::path parent = NativePath(path).parent_path();
    std::error_code code;
    if (parent.empty() || fs::is_directory(parent, code)) return true;
    fs::create_directories(parent, code);
    return !code || Failed("make the parent directories of", path, code, error);
}

bool WriteBytes(const std::string& path, std::ios::openmode mode, std::string_view bytes,
                std::string& error) {
    std::ofstream out(NativePath(path), mode | std::ios::binary);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

// Deterministic bytes: a 64-bit linear congruential sequence from a fixed seed.
class TPattern {
public:
    void Next(std::vector<char>& chunk) {
        for (char& byte : chunk) {
            state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
            byte = static_cast<char>(state_ >> 56);
        }
    }

private:
    std::uint64_t state_ = 0x7e57a1a5eed5ULL;
};

// Owner access on every directory below path, so that a tree a script made unreadable
// can still be removed.
void OpenUpTree(const fs::path& path) {
    std::error_code code;
    if (!fs::is_directory(fs::symlink_status(path, code))) return;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, code);
    for (fs::directory_iterator it(path, code), end; !code && it != end; it.increment(code)) {
        OpenUpTree(it->path());
    }
}

}  // namespace

bool MakeDirectory(const std::string& path, std::string& error) {
    std::error_code code;
    fs::create_directories(NativePath(path), code);
    return !code || Failed("make the directory", path, code, error);
}

bool WriteFile(const std::string& path, std::string_view bytes, std::string& error) {
    return MakeParents(path, error) && WriteBytes(path, std::ios::trunc, bytes, error);
}

bool AppendFile(const std::string& path, std::string_view bytes, std::string& error) {
    return WriteBytes(path, std::ios::app, bytes, error);
}

bool FillFile(const std::string& path, std::uint64_t size, std::string& error) {
    if (!MakeParents(path, error)) return false;
    std::ofstream out(NativePath(path), std::ios::trunc | std::ios::binary);
    TPattern pattern;
    std::vector<char> chunk(1 << 20);
    for (std::uint64_t left = size; out && left > 0;) {
        pattern.Next(chunk);
        const std::uint64_t count = std::min<std::uint64_t>(left, chunk.size());
        out.write(chunk.data(), static_cast<std::streamsize>(count));
        left -= count;
    }
    if (out) out.close();
    if (!out) {
        error = "cannot fill " + path;
        return false;
    }
    return true;
}

bool MakeSparseFile(const std::string& path, std::uint64_t size, std::string& error) {
    if (!WriteFile(path, {}, error)) return false;
    std::error_code code;
    fs::resize_file(NativePath(path), size, code);
    return !code || Failed("resize", path, code, error);
}

bool RemovePath(const std::string& path, std::string& error) {
    std::error_code code;
    OpenUpTree(NativePath(path));
    fs::remove_all(NativePath(path), code);
    return !code || Failed("remove", path, code, error);
}

bool RenamePath(const std::string& from, const std::string& to, std::string& error) {
    std::error_code code;
    fs::rename(NativePath(from), NativePath(to), code);
    return !code || Failed("rename", from + " to " + to, code, error);
}

bool ChangeMode(int mode, const std::string& path, std::string& error) {
    std::error_code code;
    fs::permissions(NativePath(path), static_cast<fs::perms>(mode), fs::perm_options::replace, code);
    return !code || Failed("change the permissions of", path, code, error);
}

bool MakeSymlink(const std::string& target, const std::string& path, std::string& error) {
    std::error_code code;
    fs::create_symlink(NativePath(target), NativePath(path), code);
    return !code || Failed("make the link", path, code, error);
}

}  // namespace scenario
