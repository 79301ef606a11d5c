#include "runtime/thread.h"

namespace rt {

std::shared_ptr<TThread> TThread::Create(Entry entry, TObjectPtr data) {
    std::shared_ptr<TThread> handle(new TThread());
    handle->state_ = std::make_shared<State>();
    // The thread holds its own reference to the shared state and to its data, so a
    // handle released early (an abandoned worker) frees nothing the thread still uses.
    handle->thread_ = std::thread([state = handle->state_, entry = std::move(entry),
                                   data = std::move(data)]() mutable {
        state->result = entry(std::move(data));
        state->running.store(false, std::memory_order_release);
    });
    return handle;
}

TThread::~TThread() {
    if (!thread_.joinable()) return;
    if (Running()) thread_.detach();
    else thread_.join();
}

bool TThread::Running() const { return state_->running.load(std::memory_order_acquire); }

TObjectPtr TThread::Wait() {
    if (thread_.joinable()) thread_.join();
    return state_->result;
}

}  // namespace rt
