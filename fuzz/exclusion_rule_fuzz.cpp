// The exclusion rule on any pattern and any relative path (the input is the pattern, a NUL,
// then the path): it ends, and answers consistently. A directory matches whatever the same
// entry as a file matches; a trailing '/' makes any pattern one for directories; "**/" in
// front also matches one name more in front; the path spelt as a pattern, with '*', '?'
// and '[' written as classes, matches the path itself.

#include <string>
#include <vector>

#include "app/exclusion_rule.h"
#include "fuzz/fuzz_check.h"
#include "runtime/path.h"

namespace {

using app::TExclusionRule;

bool Excludes(const std::string& pattern, const std::string& path, bool directory) {
    return TExclusionRule({pattern}).Excludes(path, directory);
}

// The names of the bytes as a scan could give them: no empty and no "." names, '/' between.
std::string RelativePath(std::string_view bytes) {
    std::string path;
    std::string name;
    for (std::size_t at = 0; at <= bytes.size(); ++at) {
        if (at < bytes.size() && bytes[at] != '/' && bytes[at] != rt::PATH_SEPARATOR) {
            name += bytes[at];
            continue;
        }
        if (!name.empty() && name != ".") path += (path.empty() ? "" : "/") + name;
        name.clear();
    }
    return path;
}

std::string Literally(const std::string& path) {
    std::string pattern;
    for (char c : path) {
        if (c == '*' || c == '?' || c == '[') {
            pattern += std::string("[") + c + "]";
        } else {
            pattern += c;
        }
    }
    return pattern;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::Bytes(data, size);
    const std::size_t split = input.find('\0');
    if (split == std::string_view::npos) return 0;
    const std::string pattern(input.substr(0, split));
    const std::string path = RelativePath(input.substr(split + 1));
    if (path.empty()) return 0;

    const bool asFile = Excludes(pattern, path, false);
    const bool asDirectory = Excludes(pattern, path, true);
    FUZZ_CHECK(!asFile || asDirectory);
    FUZZ_CHECK(!Excludes(pattern + "/", path, false));
    FUZZ_CHECK(Excludes(pattern + "/", path, true) == asDirectory);
    FUZZ_CHECK(!asDirectory || Excludes("**/" + pattern, "x/" + path, true));
    FUZZ_CHECK(Excludes(Literally(path), path, false));
    return 0;
}
