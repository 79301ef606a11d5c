#pragma once
// A worker thread: created with its entry and data, polled through an atomic running
// flag, and waited for to take the entry's result. A handle released while its thread
// still runs abandons the thread, which keeps what it was given until it ends.
//
// Starting an OS thread costs more than many a worker's whole job, so an entry runs on a
// parked thread when one is idle and on a new one otherwise; it never waits behind
// another entry, abandoned or not.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "runtime/object.h"

namespace rt {

class TThread {
public:
    using Entry = std::function<TObjectPtr(TObjectPtr)>;

    // When the system gives no thread, the entry runs on the calling thread before Create
    // returns: a step is done late rather than never.
    static std::shared_ptr<TThread> Create(Entry entry, TObjectPtr data);
    // Starts the entry on a thread that nobody waits for; false when the system gives none.
    static bool Start(Entry entry, TObjectPtr data);
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    bool Running() const;
    // Blocks until the entry has returned and gives its result (again on later calls).
    TObjectPtr Wait();
    // Blocks until the entry has returned or the time is up; false when it still runs.
    bool WaitFor(std::uint32_t milliseconds);

    // What a worker and its handles share; the worker keeps it alive after an abandon.
    struct State {
        std::atomic<bool> running{true};
        TObjectPtr result;
        std::mutex ending;
        std::condition_variable ended;
    };

private:
    TThread() = default;
    std::shared_ptr<State> state_;
};

}  // namespace rt
