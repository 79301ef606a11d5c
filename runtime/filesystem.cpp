#include "runtime/filesystem.h"

#include <deque>
#include <filesystem>

#include "runtime/native_path.h"

namespace rt {
namespace {

namespace fs = std::filesystem;

// The system's own bound on the links one path may pass through; a cycle ends there.
constexpr int MOST_LINKS = 40;

fs::path NormalAbsolutePath(const std::string& path) {
    return NativePath(AbsolutePath(path)).lexically_normal();
}

// Whether the path is the directory or lies below it; both absolute and free of links.
bool IsWithin(const fs::path& directory, const fs::path& path) {
    auto at = path.begin();
    for (const fs::path& step : directory) {
        if (step.empty()) continue;
        if (at == path.end() || *at != step) return false;
        ++at;
    }
    return true;
}

// Where a link's written target starts: its own root, the root of the drive it is on, or
// the link's directory. False for a Windows target relative to a drive's current directory.
bool StartOfTarget(const fs::path& target, fs::path& at) {
    if (target.has_root_name() && !target.has_root_directory()) return false;
    if (target.has_root_directory()) {
        at = target.has_root_name() ? target.root_path() : at.root_name() / target.root_directory();
    }
    return true;
}

}  // namespace

bool LeadsInside(const std::string& tree, const std::string& below) {
    const fs::path root = NativePath(tree);
    if (tree.empty() || !root.is_absolute()) return false;
    // `at` never holds a link, so ".." is its parent in the text too. The directories
    // above the tree hold none either: the tree's path has none.
    fs::path at = root;
    const fs::path start = NativePath(below).relative_path();
    std::deque<fs::path> steps(start.begin(), start.end());
    int links = 0;
    while (!steps.empty()) {
        const fs::path step = std::move(steps.front());
        steps.pop_front();
        if (step.empty() || step == ".") continue;
        if (step == "..") {
            at = at.parent_path();
            continue;
        }
        const fs::path next = at / step;
        if (!IsWithin(root, next)) {
            if (!IsWithin(next, root)) return false;
            at = next;
            continue;
        }
        const std::string nextText = PathText(next);
        std::string written;
        if (ReadLink(nextText, written)) {
            const fs::path target = NativePath(written);
            if (++links > MOST_LINKS || !StartOfTarget(target, at)) return false;
            const fs::path rest = target.relative_path();
            steps.insert(steps.begin(), rest.begin(), rest.end());
        } else if (PathExists(nextText)) {
            at = next;
        } else {
            return false;
        }
    }
    return IsWithin(root, at);
}

bool SameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) return false;
    if (NormalAbsolutePath(first) == NormalAbsolutePath(second)) return true;
    FileIdentity firstIdentity, secondIdentity;
    return FileIdentityOf(first, firstIdentity) && FileIdentityOf(second, secondIdentity) &&
           firstIdentity == secondIdentity;
}

}  // namespace rt
