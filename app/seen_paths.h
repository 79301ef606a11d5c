#pragma once
// The paths a reader has passed, kept as 64-bit hashes in a table at most half full: 16 to
// 32 bytes a path instead of the path, for lists of millions of entries.

#include <cstdint>
#include <string_view>
#include <vector>

namespace app {

class TSeenPaths {
public:
    // False when the path, or another of the same hash, was added before: callers take a
    // false answer as "maybe seen" and ask the database.
    bool Add(std::string_view path);
    void Clear();

private:
    void Grow();

    // Open addressing; 0 marks a free slot.
    std::vector<std::uint64_t> slots_;
    std::size_t count_ = 0;
};

}  // namespace app
