#include "runtime/work_ahead.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "runtime/thread.h"

namespace rt {
namespace {

constexpr auto SPIN_BEFORE_SLEEP = std::chrono::microseconds(50);

}  // namespace

struct TWorkAhead::Shared {
    struct Slot {
        Job job;
        bool started = false;  // by a worker or the consumer, under the lock
        std::atomic<bool> done{false};
        std::optional<std::string> result;
    };

    // One worker: the next item not started, until the work is abandoned.
    void Lane() {
        for (;;) {
            Slot* slot = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex);
                ++idle;
                more.wait(lock, [&] { return abandoned || next < first + slots.size(); });
                --idle;
                if (abandoned) return;
                slot = &slots[next - first];
                ++next;
                if (slot->started) continue;
                slot->started = true;
            }
            // A slot stays in place until it is done: the consumer forgets only done ones.
            Finish(*slot, std::move(slot->job));
            // Only a consumer that said it waits needs waking; most results are taken
            // long after they are done.
            if (waiting.load()) {
                std::lock_guard<std::mutex> lock(mutex);
                woken.notify_all();
            }
        }
    }

    void Finish(Slot& slot, Job job) {
        slot.result = job();
        slot.done.store(true);
    }

    Slot& At(std::size_t item) { return slots[item - first]; }

    // Drops the done slots before the item from the front.
    void ForgetBefore(std::size_t item) {
        while (first < item && first < next && slots.front().done.load()) {
            slots.pop_front();
            ++first;
        }
    }

    mutable std::mutex mutex;
    std::condition_variable more;
    std::condition_variable woken;
    std::deque<Slot> slots;
    std::size_t first = 0;  // the number of slots.front()
    std::size_t next = 0;   // the number of the next item to start
    std::size_t added = 0;
    std::size_t idle = 0;  // lanes waiting for items
    bool abandoned = false;
    std::atomic<bool> waiting{false};
};

TWorkAhead::TWorkAhead(std::size_t lanes) : shared_(std::make_shared<Shared>()) {
    for (std::size_t lane = 0; lane < lanes; ++lane) {
        // Nobody waits for a lane: it keeps the shared state alive itself.
        const bool started = TThread::Start(
            [shared = shared_](TObjectPtr) -> TObjectPtr {
                shared->Lane();
                return nullptr;
            },
            nullptr);
        if (!started) break;
        ++lanes_;
    }
}

TWorkAhead::~TWorkAhead() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->abandoned = true;
    }
    shared_->more.notify_all();
}

std::size_t TWorkAhead::Add(std::vector<Job> jobs) {
    Shared& shared = *shared_;
    std::size_t first = 0;
    bool anyIdle = false;
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        first = shared.added;
        for (Job& job : jobs) shared.slots.emplace_back().job = std::move(job);
        shared.added += jobs.size();
        anyIdle = shared.idle > 0;
    }
    // One wake-up for the whole batch, and none when every lane is busy anyway.
    if (anyIdle) shared.more.notify_all();
    return first;
}

// The consumer alone adds and forgets slots, so it finds its slot without the lock. Most
// items take a few microseconds: a short spin catches them without the cost of sleeping
// and being woken.
bool TWorkAhead::WaitFor(std::size_t item, std::uint32_t milliseconds) {
    // Without a lane the consumer is the only one who does the work.
    if (lanes_ == 0) return RunHere(item);
    Shared& shared = *shared_;
    std::atomic<bool>& done = shared.At(item).done;
    if (done.load() || milliseconds == 0) return done.load();
    const auto spinEnd = std::chrono::steady_clock::now() + SPIN_BEFORE_SLEEP;
    while (std::chrono::steady_clock::now() < spinEnd) {
        if (done.load()) return true;
    }
    std::unique_lock<std::mutex> lock(shared.mutex);
    shared.waiting.store(true);
    const bool isDone = shared.woken.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                              [&] { return done.load(); });
    shared.waiting.store(false);
    return isDone;
}

bool TWorkAhead::RunHere(std::size_t item) {
    Shared& shared = *shared_;
    Shared::Slot& slot = shared.At(item);
    Job job;
    {
        std::lock_guard<std::mutex> lock(shared.mutex);
        if (slot.started) return slot.done.load();
        slot.started = true;
        if (item == shared.next) ++shared.next;
        job = std::move(slot.job);
    }
    shared.Finish(slot, std::move(job));
    return true;
}

std::optional<std::string> TWorkAhead::Take(std::size_t item) {
    Shared& shared = *shared_;
    std::lock_guard<std::mutex> lock(shared.mutex);
    std::optional<std::string> result = std::move(shared.At(item).result);
    shared.ForgetBefore(item + 1);
    return result;
}

std::size_t TWorkAhead::Waiting() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->added - shared_->next;
}

}  // namespace rt
