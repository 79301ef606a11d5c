// The exclusion rule: which relative paths its globs leave out, and the relative path the
// scan hands it.

#include "app/exclusion_rule.h"

#include <gtest/gtest.h>

namespace {

using app::TExclusionRule;

struct Case {
    std::vector<std::string> patterns;
    const char* path;
    bool directory;
    bool excluded;
};

TEST(ExclusionRule, GlobsMatchTheWholeRelativePath) {
    const Case cases[] = {
        // A pattern is matched against the whole path: no '/' means the top level only.
        {{"*.tmp"}, "a.tmp", false, true},
        {{"*.tmp"}, "d/a.tmp", false, false},
        {{"*.tmp"}, "a.tmpx", false, false},
        {{"*.tmp"}, ".tmp", false, true},
        {{"**/*.tmp"}, "a.tmp", false, true},
        {{"**/*.tmp"}, "d/e/a.tmp", true, true},
        {{"**/*.tmp"}, "d/a.tmp/f", false, false},
        // '*' and '?' stay within one name; '?' is one character, also outside ASCII.
        {{"*"}, "a", false, true},
        {{"*"}, "a/b", false, false},
        {{"a*b"}, "a/b", false, false},
        {{"a*b"}, "ab", false, true},
        {{"*a*b*"}, "xaybzb", false, true},
        {{"*a*b"}, "xaybz", false, false},
        {{"?.txt"}, "a.txt", false, true},
        {{"?.txt"}, "ab.txt", false, false},
        {{"?.txt"}, "\xc3\xa9.txt", false, true},
        {{"?"}, "\xff", false, true},
        {{"a\xff*"}, "a\xff\xfe", false, true},
        {{"a/*/c"}, "a/b/c", false, true},
        {{"a/*/c"}, "a/b/b/c", false, false},
        // "**" spans any number of whole names, none too.
        {{"a/**/z"}, "a/z", false, true},
        {{"a/**/z"}, "a/b/c/z", false, true},
        {{"a/**/z"}, "a/b/c", false, false},
        {{"a/**/z"}, "x/a/z", false, false},
        {{"**/a/b"}, "a/a/b", false, true},
        {{"**/a/**/b"}, "x/a/y/a/z/b", false, true},
        {{"build/**"}, "build/x/y", false, true},
        {{"build/**"}, "build", true, true},
        {{"build/**"}, "buildx/y", false, false},
        {{"**"}, "any/thing", false, true},
        {{"a**b"}, "axxb", false, true},
        {{"a**b"}, "a/b", false, false},
        // A trailing '/' matches directories only.
        {{"build/"}, "build", true, true},
        {{"build/"}, "build", false, false},
        {{"build/"}, "src/build", true, false},
        {{"**/.git/"}, ".git", true, true},
        {{"**/.git/"}, "x/.git", true, true},
        {{"**/.git/"}, "x/.git", false, false},
        {{"**/"}, "x", false, false},
        // Classes: members, ranges, negation, ']' first; an unclosed '[' is itself.
        {{"[abc].log"}, "b.log", false, true},
        {{"[abc].log"}, "d.log", false, false},
        {{"[!abc].log"}, "d.log", false, true},
        {{"[^abc].log"}, "a.log", false, false},
        {{"x[a-c]"}, "xb", false, true},
        {{"x[a-c]"}, "xd", false, false},
        {{"x[a-]"}, "x-", false, true},
        {{"[]]"}, "]", false, true},
        {{"[*]"}, "*", false, true},
        {{"[*]"}, "x", false, false},
        {{"[a"}, "[a", false, true},
        {{"*[a"}, "x[a", false, true},
        {{"[\xc3\xa0-\xc3\xbf]"}, "\xc3\xa9", false, true},
        {{"*.[Tt][Mm][Pp]"}, "x.TMP", false, true},
        // Spelling: a leading '/', "." names and doubled separators change nothing.
        {{"/top"}, "top", false, true},
        {{"./a//b/"}, "a/b", true, true},
        {{"a/**/**/b"}, "a/b", false, true},
        // Patterns that name nothing leave nothing out; any one pattern of several does.
        {{"", "/"}, "a", true, false},
        {{"*.o", "cache/"}, "cache", true, true},
        {{"*.o", "cache/"}, "x.o", false, true},
        {{"*.o", "cache/"}, "x.c", false, false},
    };
    for (const Case& c : cases) {
        const TExclusionRule rule(c.patterns);
        EXPECT_EQ(rule.Excludes(c.path, c.directory), c.excluded)
            << c.patterns.front() << " on " << c.path << (c.directory ? " (dir)" : "");
    }
    EXPECT_TRUE(TExclusionRule().Empty());
    EXPECT_TRUE(TExclusionRule({"", "/", "."}).Empty());
    EXPECT_FALSE(TExclusionRule({"*"}).Empty());
}

TEST(ExclusionRule, RelativePathHasSlashesBetweenNames) {
    const struct {
        const char* root;
        const char* directory;
        char separator;
        const char* expected;
    } cases[] = {
        {"/srv/t", "/srv/t", '/', "a b"},
        {"/srv/t", "/srv/t/x/y", '/', "x/y/a b"},
        {"/", "/", '/', "a b"},
        {"/", "/x", '/', "x/a b"},
        {"C:\\t", "C:\\t\\x\\y", '\\', "x/y/a b"},
        {"C:\\", "C:\\x", '\\', "x/a b"},
        {"C:\\", "C:\\", '\\', "a b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::RelativeEntryPath(c.root, c.directory, "a b", c.separator), c.expected)
            << c.directory;
    }
}

}  // namespace
