#pragma once
// Hook chains: up to 256 ids, each a chain of functions in descending priority, each
// handing its result to the next.

#include <memory>

#include "runtime/object.h"

namespace gui {

using THookFunction = rt::TObjectPtr (*)(int id, rt::TObjectPtr data, rt::TObjectPtr context);

class THook : public rt::TObject {
public:
    std::shared_ptr<THook> succ;
    int priority = 0;
    THookFunction func = nullptr;
    rt::TObjectPtr context;
};

inline constexpr int MAX_HOOK_IDS = 256;

// 0, 1, 2, ...; throws std::runtime_error("Too many hook ids") past 255.
int NewHookId();
// After every hook of greater or equal priority, so equal priorities run in insertion order.
void InsertHook(int id, THookFunction func, rt::TObjectPtr context, int priority);
rt::TObjectPtr CallHooks(int id, rt::TObjectPtr data);
// Unlinks the first hook with this function and this context; nothing if there is none.
void DeleteHook(int id, THookFunction func, const rt::TObjectPtr& context);

// Hook registry set-up, once.
void InitHooks();

}  // namespace gui
