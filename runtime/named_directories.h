#pragma once
// Directories that change events named, each once, in the order first named, with the names
// of their entries that were named. However many events come, it holds at most MOST_NAMES
// names: past that, a directory that is named again is kept whole (any entry of it may have
// changed) and its names are let go.

#include <cstddef>
#include <iterator>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace rt {

struct TNamedDirectory {
    std::string path;
    std::unordered_set<std::string> names;
    bool whole = false;   // every entry counts as named
    bool itself = false;  // named with no entry: any entry may have changed, though unnamed
};

class TNamedDirectories {
public:
    static constexpr std::size_t MOST_NAMES = std::size_t(1) << 17;

    // The directory itself, with no entry.
    void Name(const std::string& path) { Named(path).itself = true; }

    // An entry of the directory; the empty name for the directory whole.
    void Name(const std::string& path, const std::string& name) {
        TNamedDirectory& directory = Named(path);
        if (directory.whole) return;
        if (!name.empty() && (names_ < MOST_NAMES || directory.names.contains(name))) {
            names_ += directory.names.insert(name).second ? 1 : 0;
            return;
        }
        names_ -= directory.names.size();
        directory.names = {};
        directory.whole = true;
    }

    bool Empty() const { return named_.empty(); }
    const std::vector<TNamedDirectory>& All() const { return named_; }

    // The first `most`, in their order; the others stay in theirs.
    std::vector<TNamedDirectory> Take(std::size_t most) {
        if (named_.size() <= most) return TakeAll();
        const auto split = named_.begin() + std::ptrdiff_t(most);
        std::vector<TNamedDirectory> taken(std::make_move_iterator(named_.begin()),
                                           std::make_move_iterator(split));
        named_.erase(named_.begin(), split);
        for (const TNamedDirectory& directory : taken) names_ -= directory.names.size();
        at_.clear();
        for (std::size_t at = 0; at < named_.size(); ++at) at_[named_[at].path] = at;
        return taken;
    }

    std::vector<TNamedDirectory> TakeAll() {
        std::vector<TNamedDirectory> taken;
        taken.swap(named_);
        at_.clear();
        names_ = 0;
        return taken;
    }

private:
    TNamedDirectory& Named(const std::string& path) {
        const auto [at, added] = at_.try_emplace(path, named_.size());
        if (added) named_.push_back({path, {}, false, false});
        return named_[at->second];
    }

    std::vector<TNamedDirectory> named_;
    std::unordered_map<std::string, std::size_t> at_;
    std::size_t names_ = 0;  // over all directories
};

}  // namespace rt
