#pragma once
// The entries a run leaves out: globs matched against the path relative to the monitored
// directory, '/' between names on every system. '*' and '?' stay within a name, "**" spans
// any number of names (none too), a trailing '/' matches directories only.
#include <string>
#include <string_view>
#include <vector>

#include "runtime/path.h"

namespace app {
class TExclusionRule {
public:
    TExclusionRule() = default;  // excludes nothing
    explicit TExclusionRule(std::vector<std::string> patterns);
    bool Empty() const;
    // Whether the entry at this relative path ("a/b.txt", never empty) is left out.
    bool Excludes(std::string_view relativePath, bool directory) const;
private:
    // Made plain once: '/' alone between names, a trailing '/' for directories only.
    std::vector<std::string> patterns_;
};

// The path the rule takes for `name`, an entry of `directory` in the tree of `root`, both
// paths as the scan makes them, with the system's separator.
std::string RelativeEntryPath(std::string_view root, std::string_view directory,
                              std::string_view name, char separator = rt::PATH_SEPARATOR);
}  // namespace app
