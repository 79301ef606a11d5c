#pragma once
// Items of work done ahead on worker threads while one consumer takes the results in the
// order it added the items. Workers take items in that order, so the items the consumer
// needs first are done first. A result is handed over through a flag the consumer reads
// without blocking; it blocks only when it has caught up with the workers.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rt {

class TWorkAhead {
public:
    using Job = std::function<std::optional<std::string>()>;

    // Starts `lanes` workers, which wait for items; fewer, or none, when the system gives
    // fewer threads.
    explicit TWorkAhead(std::size_t lanes);
    // Abandons the work: no item is started afterwards, and nobody waits for the workers,
    // which keep what they use until they end.
    ~TWorkAhead();
    TWorkAhead(const TWorkAhead&) = delete;
    TWorkAhead& operator=(const TWorkAhead&) = delete;

    // Adds items; the number of the first, counted from 0 in the order of adding.
    std::size_t Add(std::vector<Job> jobs);
    // Waits up to the time for the item to be done; true when it is. Without a worker the
    // item is done on the calling thread.
    bool WaitFor(std::size_t item, std::uint32_t milliseconds);
    // Does the item on the calling thread when no worker has started it, so that a
    // consumer that caught up works instead of waiting; true when the item is done.
    bool RunHere(std::size_t item);
    // The result of an item that is done. Items before it are not taken any more.
    std::optional<std::string> Take(std::size_t item);
    // Items added and not yet started.
    std::size_t Waiting() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::size_t lanes_ = 0;
};

}  // namespace rt
