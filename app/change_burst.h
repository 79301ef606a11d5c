#pragma once
// When a burst of change events is over and its run may start: after a short quiet, or a
// fixed time after its first event however busy the tree stays, so that a tree that never
// rests is still reported about once a second.

#include <cstdint>

namespace app {

class TChangeBurst {
public:
    static constexpr std::uint64_t QUIET_MS = 200;
    static constexpr std::uint64_t LONGEST_MS = 1000;

    // An event that counts came at `now` (milliseconds of a monotonic clock).
    void Note(std::uint64_t now) {
        if (!open_) first_ = now;
        open_ = true;
        last_ = now;
    }
    bool Open() const { return open_; }
    // While open: when its run starts.
    std::uint64_t EndsAt() const {
        const std::uint64_t quiet = last_ + QUIET_MS;
        const std::uint64_t longest = first_ + LONGEST_MS;
        return quiet < longest ? quiet : longest;
    }
    void Close() { open_ = false; }

private:
    bool open_ = false;
    std::uint64_t first_ = 0;
    std::uint64_t last_ = 0;
};

}  // namespace app
