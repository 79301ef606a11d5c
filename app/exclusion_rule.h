#pragma once
// The entries a run leaves out: globs matched against the path relative to the monitored
// directory, '/' between names on every system. '*' and '?' stay within a name, "**" spans
// any number of names (none too), a trailing '/' matches directories only.
#include <string>
#include <string_view>
#include <vector>
namespace app {
class TExclusionRule {
public:
    TExclusionRule() = default;  // excludes nothing
    explicit TExclusionRule(std::vector<std::string> patterns);
    bool Empty() const;
    // Whether the entry at this relative path ("a/b.txt", never empty) is left out.
    bool Excludes(std::string_view relativePath, bool directory) const;
private:
    std::vector<std::string> patterns_;
};
}  // namespace app
