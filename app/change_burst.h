#pragma once
// When a burst of change events is over and its run may start: after a short quiet, or a
// fixed time after its first event however busy the tree stays, so that a tree that never
// rests is still reported about once a second. Each directory has a burst of its own, so
// that one that keeps changing holds back no other directory's change; the first burst to
// end starts a run of every directory named by then, so that changes made together are
// told together.

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/named_directories.h"

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
    // Once noted: when its run starts.
    std::uint64_t EndsAt() const {
        const std::uint64_t quiet = last_ + QUIET_MS;
        const std::uint64_t longest = first_ + LONGEST_MS;
        return quiet < longest ? quiet : longest;
    }

private:
    bool open_ = false;
    std::uint64_t first_ = 0;
    std::uint64_t last_ = 0;
};

// The directories named since their last run, each with its burst.
class TChangeBursts {
public:
    static constexpr std::uint64_t NEVER = UINT64_MAX;

    // The directory, or an entry of it (the empty name: any entry), changed at `now`.
    void Note(const std::string& directory, std::uint64_t now) {
        named_.Name(directory);
        bursts_[directory].Note(now);
    }
    void Note(const std::string& directory, const std::string& name, std::uint64_t now) {
        named_.Name(directory, name);
        bursts_[directory].Note(now);
    }

    // When the first of the bursts ends; NEVER while none is open.
    std::uint64_t NextEnd() const {
        std::uint64_t next = NEVER;
        for (const auto& [directory, burst] : bursts_) next = std::min(next, burst.EndsAt());
        return next;
    }

    // The directories named so far, at most `most`, in the order named; the others stay
    // with their bursts.
    std::vector<rt::TNamedDirectory> Take(std::size_t most) {
        std::vector<rt::TNamedDirectory> taken = named_.Take(most);
        for (const rt::TNamedDirectory& named : taken) bursts_.erase(named.path);
        return taken;
    }

    void Clear() {
        named_.TakeAll();
        bursts_.clear();
    }

private:
    rt::TNamedDirectories named_;
    std::unordered_map<std::string, TChangeBurst> bursts_;
};

}  // namespace app
