#include "gui/hotkey.h"

namespace gui {
namespace {

THotKeyPtr& Head() {
    static THotKeyPtr head;
    return head;
}

// The same owner: both global, or both the same window (alive or not).
bool SameOwner(const std::weak_ptr<TGadget>& a, const std::weak_ptr<TGadget>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}

bool OwnedBy(const THotKey& hotKey, const TGadgetPtr& window) {
    const std::weak_ptr<TGadget> global;
    if (SameOwner(hotKey.owner, global)) return true;
    return window && hotKey.owner.lock() == window;
}

}  // namespace

THotKeyPtr BindHotKey(int key, int mods, TEventPtr event, const TGadgetPtr& owner) {
    if (!event) event = TEvent::Create(HotkeyHit, nullptr, key, mods);
    const std::weak_ptr<TGadget> ownerRef = owner;
    THotKeyPtr record;
    for (THotKeyPtr h = Head(); h && !record; h = h->succ) {
        if (h->key == key && h->mods == mods && SameOwner(h->owner, ownerRef)) record = h;
    }
    if (!record) {
        record = std::make_shared<THotKey>();
        record->key = key;
        record->mods = mods;
        record->owner = ownerRef;
        record->succ = Head();
        Head() = record;
    }
    record->event = std::move(event);
    return record;
}

TEventPtr LookupHotKey(int key, int mods, const TGadgetPtr& window) {
    for (THotKeyPtr h = Head(); h; h = h->succ) {
        if (h->key == key && h->mods == mods && OwnedBy(*h, window)) return h->event;
    }
    return nullptr;
}

int EmitHotKey(int key, int mods, const TGadgetPtr& gadget) {
    TGadgetPtr window = gadget;
    while (window && window->Class() != GADGET_WINDOW) window = window->GetGroup();
    const TEventPtr event = LookupHotKey(key, mods, window);
    if (!event) return 0;
    event->Emit();
    return 1;
}

void UnbindHotKey(const THotKeyPtr& hotKey) {
    for (THotKeyPtr* link = &Head(); *link; link = &(*link)->succ) {
        if (*link == hotKey) {
            *link = hotKey->succ;
            hotKey->succ.reset();
            return;
        }
    }
}

THotKeyPtr FirstHotKey() { return Head(); }

}  // namespace gui
