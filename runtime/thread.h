#pragma once
// A worker thread: created with its entry and data, polled through an atomic running
// flag, and waited for to take the entry's result. A handle released while its thread
// still runs abandons the thread, which keeps what it was given until it ends.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "runtime/object.h"

namespace rt {

class TThread {
public:
    using Entry = std::function<TObjectPtr(TObjectPtr)>;

    static std::shared_ptr<TThread> Create(Entry entry, TObjectPtr data);
    ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    bool Running() const;
    // Blocks until the entry has returned and gives its result (again on later calls).
    TObjectPtr Wait();

private:
    struct State {
        std::atomic<bool> running{true};
        TObjectPtr result;
    };
    TThread() = default;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace rt
