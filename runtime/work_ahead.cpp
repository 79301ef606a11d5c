#include "runtime/work_ahead.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "runtime/thread.h"

namespace rt {

struct TWorkAhead::Shared {
    struct Slot {
        std::atomic<bool> done{false};
        std::optional<std::string> result;
    };

    Shared(std::size_t itemCount, Job work)
        : count(itemCount), job(std::move(work)), slots(new Slot[itemCount]) {}

    // One worker: the next unclaimed item until none is left or the work is abandoned.
    void Lane() {
        while (!abandoned.load(std::memory_order_relaxed)) {
            const std::size_t index = nextClaim.fetch_add(1);
            if (index >= count) return;
            slots[index].result = job(index);
            slots[index].done.store(true);
            // Only a consumer that said it waits needs waking; most results are taken
            // long after they are done.
            if (waiting.load()) {
                std::lock_guard<std::mutex> lock(mutex);
                woken.notify_all();
            }
        }
    }

    const std::size_t count;
    Job job;
    std::unique_ptr<Slot[]> slots;
    std::atomic<std::size_t> nextClaim{0};
    std::atomic<bool> abandoned{false};
    std::atomic<bool> waiting{false};
    std::mutex mutex;
    std::condition_variable woken;
};

TWorkAhead::TWorkAhead(std::size_t count, Job job, std::size_t lanes)
    : shared_(std::make_shared<Shared>(count, std::move(job))) {
    for (std::size_t lane = 0; lane < lanes && lane < count; ++lane) {
        // The handle is dropped at once: the worker keeps the shared state alive itself.
        TThread::Create(
            [shared = shared_](TObjectPtr) -> TObjectPtr {
                shared->Lane();
                return nullptr;
            },
            nullptr);
    }
}

TWorkAhead::~TWorkAhead() { shared_->abandoned.store(true); }

bool TWorkAhead::WaitFor(std::size_t index, std::uint32_t milliseconds) {
    Shared& shared = *shared_;
    std::atomic<bool>& done = shared.slots[index].done;
    if (done.load()) return true;
    std::unique_lock<std::mutex> lock(shared.mutex);
    shared.waiting.store(true);
    const bool isDone = shared.woken.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                              [&] { return done.load(); });
    shared.waiting.store(false);
    return isDone;
}

std::optional<std::string> TWorkAhead::Take(std::size_t index) {
    return std::move(shared_->slots[index].result);
}

}  // namespace rt
