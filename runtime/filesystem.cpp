#include "runtime/filesystem.h"

#include <filesystem>

#include "runtime/native_path.h"

namespace rt {
namespace {

std::filesystem::path NormalAbsolutePath(const std::string& path) {
    return NativePath(AbsolutePath(path)).lexically_normal();
}

}  // namespace

bool SameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return false;
    if (NormalAbsolutePath(first) == NormalAbsolutePath(second)) return true;
    FileIdentity firstIdentity, secondIdentity;
    return FileIdentityOf(first, firstIdentity) && FileIdentityOf(second, secondIdentity) &&
           firstIdentity == secondIdentity;
}

}  // namespace rt
