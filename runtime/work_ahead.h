#pragma once
// Work on the items of a list done ahead on worker threads while one consumer takes the
// results in its own order. Workers claim items in list order, so the items the consumer
// needs first are done first. A result is handed over through a flag the consumer reads
// without blocking; it blocks only when it has caught up with the workers.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace rt {

class TWorkAhead {
public:
    using Job = std::function<std::optional<std::string>(std::size_t index)>;

    // Starts `lanes` workers on items 0 to count - 1.
    TWorkAhead(std::size_t count, Job job, std::size_t lanes);
    // Abandons the work: no item is started afterwards, and nobody waits for the workers,
    // which keep what they use until they end.
    ~TWorkAhead();
    TWorkAhead(const TWorkAhead&) = delete;
    TWorkAhead& operator=(const TWorkAhead&) = delete;

    // Waits up to the time for the item to be done; true when it is.
    bool WaitFor(std::size_t index, std::uint32_t milliseconds);
    // The result of an item that is done.
    std::optional<std::string> Take(std::size_t index);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace rt
