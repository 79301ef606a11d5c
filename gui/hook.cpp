#include "gui/hook.h"

#include <array>
#include <stdexcept>

namespace gui {
namespace {

struct THookRegistry {
    std::array<std::shared_ptr<THook>, MAX_HOOK_IDS> heads;
    int lastId = -1;
};

THookRegistry& Registry() {
    static THookRegistry registry;
    return registry;
}

std::shared_ptr<THook>& Head(int id) {
    if (id < 0 || id >= MAX_HOOK_IDS) throw std::out_of_range("hook id out of range");
    return Registry().heads[static_cast<std::size_t>(id)];
}

}  // namespace

void InitHooks() {
    static bool done = false;
    if (done) return;
    done = true;
    Registry();
}

int NewHookId() {
    InitHooks();
    THookRegistry& registry = Registry();
    if (registry.lastId + 1 >= MAX_HOOK_IDS) throw std::runtime_error("Too many hook ids");
    return ++registry.lastId;
}

void InsertHook(int id, THookFunction func, rt::TObjectPtr context, int priority) {
    auto hook = std::make_shared<THook>();
    hook->func = func;
    hook->context = std::move(context);
    hook->priority = priority;

    std::shared_ptr<THook>* link = &Head(id);
    while (*link && (*link)->priority >= priority) link = &(*link)->succ;
    hook->succ = std::move(*link);
    *link = std::move(hook);
}

rt::TObjectPtr CallHooks(int id, rt::TObjectPtr data) {
    // Hold each hook while it runs: it may delete itself from the chain.
    for (std::shared_ptr<THook> hook = Head(id); hook; hook = hook->succ) {
        data = hook->func(id, std::move(data), hook->context);
    }
    return data;
}

void DeleteHook(int id, THookFunction func, const rt::TObjectPtr& context) {
    for (std::shared_ptr<THook>* link = &Head(id); *link; link = &(*link)->succ) {
        if ((*link)->func == func && (*link)->context == context) {
            *link = std::move((*link)->succ);
            return;
        }
    }
}

}  // namespace gui
