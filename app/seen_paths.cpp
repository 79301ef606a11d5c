#include "app/seen_paths.h"

#include <functional>

namespace app {
namespace {

constexpr std::size_t FIRST_CAPACITY = 1024;

std::uint64_t HashOf(std::string_view path) {
    const std::uint64_t hash = std::hash<std::string_view>{}(path);
    return hash == 0 ? 1 : hash;
}

// Inserts into a table with a free slot; false when the hash is there already.
bool Insert(std::vector<std::uint64_t>& slots, std::uint64_t hash) {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        if (slots[i] == hash) return false;
        if (slots[i] == 0) {
            slots[i] = hash;
            return true;
        }
    }
}

}  // namespace

bool TSeenPaths::Add(std::string_view path) {
    // At most half full, so that probes stay short.
    if (2 * (count_ + 1) > slots_.size()) Grow();
    if (!Insert(slots_, HashOf(path))) return false;
    ++count_;
    return true;
}

void TSeenPaths::Clear() {
    slots_ = {};
    count_ = 0;
}

void TSeenPaths::Grow() {
    std::vector<std::uint64_t> larger(slots_.empty() ? FIRST_CAPACITY : 2 * slots_.size(), 0);
    for (const std::uint64_t hash : slots_) {
        if (hash != 0) Insert(larger, hash);
    }
    slots_ = std::move(larger);
}

}  // namespace app
