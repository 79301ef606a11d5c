#include "runtime/thread.h"

#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

namespace rt {
namespace {

// One job for a worker: the entry with its data and the state it reports to.
struct Job {
    TThread::Entry entry;
    TObjectPtr data;
    std::shared_ptr<TThread::State> state;
};

// OS threads parked between jobs. A parked thread that gets no job for a while ends, so an
// idle program keeps no threads; at most a few are kept parked at once.
class ThreadPark {
public:
    // Hands the job to a parked thread, or starts a new thread for it; false, with the job
    // still in hand, when the system gives no thread (a limit on processes or tasks).
    bool Run(Job& job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!parked_.empty()) {
                Seat* seat = parked_.back();
                parked_.pop_back();
                seat->job = std::move(job);
                seat->hasJob = true;
                seat->wake.notify_one();
                return true;
            }
        }
        auto first = std::make_shared<Job>(std::move(job));
        try {
            std::thread([this, first]() mutable { Work(std::move(*first)); }).detach();
        } catch (const std::system_error&) {
            job = std::move(*first);
            return false;
        }
        return true;
    }

    static void Finish(Job& job) {
        TObjectPtr result = job.entry(std::move(job.data));
        job.entry = nullptr;
        {
            std::lock_guard<std::mutex> lock(job.state->ending);
            job.state->result = std::move(result);
            job.state->running.store(false, std::memory_order_release);
        }
        job.state->ended.notify_all();
        job.state.reset();
    }

private:
    struct Seat {
        std::condition_variable wake;
        Job job;
        bool hasJob = false;
    };

    static constexpr std::size_t MAX_PARKED = 16;
    static constexpr auto IDLE_LIFETIME = std::chrono::seconds(10);

    void Work(Job job) {
        Seat seat;
        for (;;) {
            Finish(job);
            std::unique_lock<std::mutex> lock(mutex_);
            if (parked_.size() >= MAX_PARKED) return;
            parked_.push_back(&seat);
            if (!seat.wake.wait_for(lock, IDLE_LIFETIME, [&] { return seat.hasJob; })) {
                std::erase(parked_, &seat);
                return;
            }
            seat.hasJob = false;
            job = std::move(seat.job);
        }
    }

    std::mutex mutex_;
    std::vector<Seat*> parked_;
};

// Never destroyed: parked threads may still wait on it while the process ends.
ThreadPark& Park() {
    static ThreadPark* park = new ThreadPark();
    return *park;
}

}  // namespace

std::shared_ptr<TThread> TThread::Create(Entry entry, TObjectPtr data) {
    std::shared_ptr<TThread> handle(new TThread());
    handle->state_ = std::make_shared<State>();
    // The worker holds its own reference to the shared state and to its data, so a
    // handle released early (an abandoned worker) frees nothing the worker still uses.
    Job job{std::move(entry), std::move(data), handle->state_};
    if (!Park().Run(job)) ThreadPark::Finish(job);
    return handle;
}

bool TThread::Start(Entry entry, TObjectPtr data) {
    Job job{std::move(entry), std::move(data), std::make_shared<State>()};
    return Park().Run(job);
}

bool TThread::Running() const { return state_->running.load(std::memory_order_acquire); }

TObjectPtr TThread::Wait() {
    std::unique_lock<std::mutex> lock(state_->ending);
    state_->ended.wait(lock, [&] { return !Running(); });
    return state_->result;
}

bool TThread::WaitFor(std::uint32_t milliseconds) {
    std::unique_lock<std::mutex> lock(state_->ending);
    return state_->ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [&] { return !Running(); });
}

}  // namespace rt
