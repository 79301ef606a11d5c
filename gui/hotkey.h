#pragma once
// Global hot keys: a key with modifiers that emits an event, in every window or in
// one. The platform driver asks LookupHotKey for each key press and emits what it finds.

#include <memory>

#include "gui/event.h"
#include "gui/gadget.h"

namespace gui {

class THotKey;
using THotKeyPtr = std::shared_ptr<THotKey>;

class THotKey : public rt::TObject {
public:
    THotKeyPtr succ;     // next record, older
    int key = 0;
    int mods = 0;        // MODIFIER_* bits
    TEventPtr event;     // emitted when the key is hit
    // The window the key belongs to; empty for every window. Weak, so a freed window's
    // keys match nothing.
    std::weak_ptr<TGadget> owner;
};

// Registers the key, or gives an existing record for the same key, modifiers and owner
// the new event. A null event becomes a HotkeyHit event with data = key and these mods.
// A null owner makes the key global.
THotKeyPtr BindHotKey(int key, int mods, TEventPtr event = nullptr,
                      const TGadgetPtr& owner = nullptr);
// The event of the newest record for the key and modifiers that is global or belongs
// to the window; null when there is none.
TEventPtr LookupHotKey(int key, int mods, const TGadgetPtr& window);
// For drivers, before a key pressed in a gadget reaches it: emits the event of the hot
// key for the gadget's window (or a global one) and returns 1; 0 when there is none.
int EmitHotKey(int key, int mods, const TGadgetPtr& gadget);
// Unlinks the record; nothing when it is not bound.
void UnbindHotKey(const THotKeyPtr& hotKey);
// The newest record (follow succ for the rest).
THotKeyPtr FirstHotKey();

}  // namespace gui
