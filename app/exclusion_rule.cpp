#include "app/exclusion_rule.h"

#include <algorithm>

#include "runtime/path.h"
#include "runtime/text.h"

namespace app {
namespace {

constexpr std::string_view ANY_NAMES = "**";

// The names of a '/'-separated path, one after the other, without copies.
class TNames {
public:
    explicit TNames(std::string_view path) : path_(path) {}
    bool Done() const { return at_ > path_.size(); }
    std::string_view Current() const {
        return path_.substr(at_, std::min(path_.find('/', at_), path_.size()) - at_);
    }
    void Advance() { at_ += Current().size() + 1; }
    std::size_t At() const { return at_; }
    void MoveTo(std::size_t at) { at_ = at; }

private:
    std::string_view path_;
    std::size_t at_ = 0;
};

// Whether a "[...]" class starting at `open` holds the character; `end` gets the position
// after its ']'. A '[' without a closing ']' is no class (end stays at open).
bool ClassHolds(std::string_view glob, std::size_t open, char32_t character, std::size_t& end) {
    std::size_t at = open + 1;
    const bool negated = at < glob.size() && (glob[at] == '!' || glob[at] == '^');
    if (negated) ++at;
    bool holds = false;
    // A ']' right after the opening is one of the members.
    for (bool first = true; at < glob.size() && (first || glob[at] != ']'); first = false) {
        const char32_t low = rt::NextCodePoint(glob, at);
        char32_t high = low;
        if (at + 1 < glob.size() && glob[at] == '-' && glob[at + 1] != ']') {
            high = rt::NextCodePoint(glob, ++at);
        }
        holds = holds || (low <= character && character <= high);
    }
    if (at >= glob.size()) {
        end = open;
        return false;
    }
    end = at + 1;
    return holds != negated;
}

// Whether the glob's character at g, which is not '*', matches the name's at n; both are
// passed if so.
bool CharacterMatches(std::string_view glob, std::size_t& g, std::string_view name,
                      std::size_t& n) {
    if (glob[g] == '?') {
        rt::NextCodePoint(name, n);
        ++g;
        return true;
    }
    std::size_t end = g;
    if (glob[g] == '[') {
        std::size_t after = n;
        if (ClassHolds(glob, g, rt::NextCodePoint(name, after), end)) {
            n = after;
            g = end;
            return true;
        }
    }
    // Any other character, and a '[' that opens no class, is itself.
    if (end != g || glob[g] != name[n]) return false;
    ++g;
    ++n;
    return true;
}

// Whether one name matches one name of a pattern: '*' any run of characters, '?' one,
// "[...]" one of a class, anything else itself.
bool NameMatches(std::string_view glob, std::string_view name) {
    // What follows the last wildcard ends the name, or nothing matches: most names fail here.
    if (!name.ends_with(glob.substr(glob.find_last_of("*?[]") + 1))) return false;
    std::size_t g = 0;
    std::size_t n = 0;
    // Where the last '*' resumes in the glob, and where in the name it was tried up to.
    std::size_t starGlob = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (g < glob.size() && glob[g] == '*') {
            while (g < glob.size() && glob[g] == '*') ++g;
            starGlob = g;
            starName = n;
        } else if (g >= glob.size() || !CharacterMatches(glob, g, name, n)) {
            if (starGlob == std::string_view::npos) return false;
            rt::NextCodePoint(name, starName);
            n = starName;
            g = starGlob;
        }
    }
    while (g < glob.size() && glob[g] == '*') ++g;
    return g == glob.size();
}

std::string_view LastName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Whether the pattern's names match the path's: each name by its own, "**" any number of
// whole names. The last "**" passed is the one widened when a later name fails.
bool PathMatches(std::string_view pattern, std::string_view path) {
    // Most entries fail on their own name, whatever lies above it: that is tried first.
    const std::string_view lastGlob = LastName(pattern);
    if (lastGlob != ANY_NAMES && !NameMatches(lastGlob, LastName(path))) return false;
    TNames globs(pattern);
    TNames names(path);
    std::size_t starGlob = std::string_view::npos;
    std::size_t starName = 0;
    while (!names.Done()) {
        if (!globs.Done() && globs.Current() == ANY_NAMES) {
            globs.Advance();
            starGlob = globs.At();
            starName = names.At();
            continue;
        }
        if (!globs.Done() && NameMatches(globs.Current(), names.Current())) {
            globs.Advance();
            names.Advance();
            continue;
        }
        if (starGlob == std::string_view::npos) return false;
        names.MoveTo(starName);
        names.Advance();
        starName = names.At();
        globs.MoveTo(starGlob);
    }
    while (!globs.Done() && globs.Current() == ANY_NAMES) globs.Advance();
    return globs.Done();
}

// The pattern with '/' alone between its names: no empty or "." names, no "**" twice in a
// row, and the trailing '/' of a directory pattern kept. The system's own separator counts
// as '/'. Empty when it names nothing.
std::string Normalised(std::string pattern) {
    std::replace(pattern.begin(), pattern.end(), rt::PATH_SEPARATOR, '/');
    std::string normal;
    std::string_view previous;
    for (TNames names(pattern); !names.Done(); names.Advance()) {
        const std::string_view name = names.Current();
        if (name.empty() || name == "." || (name == ANY_NAMES && previous == ANY_NAMES)) continue;
        if (!normal.empty()) normal += '/';
        normal += name;
        previous = name;
    }
    if (!normal.empty() && pattern.back() == '/') normal += '/';
    return normal;
}

}  // namespace

TExclusionRule::TExclusionRule(std::vector<std::string> patterns) {
    for (std::string& pattern : patterns) {
        std::string normal = Normalised(std::move(pattern));
        if (!normal.empty()) patterns_.push_back(std::move(normal));
    }
}

bool TExclusionRule::Empty() const { return patterns_.empty(); }

bool TExclusionRule::Excludes(std::string_view relativePath, bool directory) const {
    for (std::string_view pattern : patterns_) {
        const bool directoriesOnly = pattern.back() == '/';
        if (directoriesOnly && !directory) continue;
        if (directoriesOnly) pattern.remove_suffix(1);
        if (PathMatches(pattern, relativePath)) return true;
    }
    return false;
}

std::string RelativeEntryPath(std::string_view root, std::string_view directory,
                              std::string_view name, char separator) {
    std::string path(directory.substr(std::min(root.size(), directory.size())));
    // Below a root ("/", "C:\") the rest starts with a name, elsewhere with a separator.
    if (!path.empty() && path.front() == separator) path.erase(0, 1);
    std::replace(path.begin(), path.end(), separator, '/');
    if (!path.empty()) path += '/';
    return path.append(name);
}

}  // namespace app
