#include "gui/eventqueue.h"

#include <array>
#include <cstdint>
#include <unordered_map>

#include "gui/hook.h"
#include "gui/systemdriver.h"

namespace gui {
namespace {

struct TEventQueue {
    std::array<TEventPtr, EVENT_RING_SIZE> ring;
    std::uint32_t put = 0;  // events ever stored
    std::uint32_t get = 0;  // events ever taken
    TEventPtr blank;
    TEventPtr current;
};

TEventQueue& Queue() {
    static TEventQueue queue;
    return queue;
}

TEventPtr& Slot(std::uint32_t counter) {
    return Queue().ring[counter % EVENT_RING_SIZE];
}

bool Coalesces(int id) {
    return id == WindowMove || id == WindowSize || id == TimerTick || id == GadgetAction;
}

rt::TObjectPtr QueueHook(int /*id*/, rt::TObjectPtr data, rt::TObjectPtr /*context*/) {
    if (auto event = std::dynamic_pointer_cast<TEvent>(data)) {
        QueueEvent(event, Coalesces(event->id) ? 1 : 0);
    }
    return data;
}

bool MergeIntoWaiting(const TEvent& event) {
    TEventQueue& queue = Queue();
    for (std::uint32_t i = queue.get; i != queue.put; ++i) {
        TEvent& waiting = *Slot(i);
        if (waiting.id == event.id && waiting.source == event.source) {
            waiting.data = event.data;
            waiting.mods = event.mods;
            waiting.x = event.x;
            waiting.y = event.y;
            waiting.extra = event.extra;
            return true;
        }
    }
    return false;
}

bool RingEmpty() {
    return Queue().put == Queue().get;
}

int TakeFromRing() {
    TEventQueue& queue = Queue();
    queue.current = std::move(Slot(queue.get));
    ++queue.get;
    return queue.current->id;
}

}  // namespace

void InitEventQueue() {
    static bool done = false;
    if (done) return;
    done = true;
    InitEvents();
    InitSystem();
    Queue().blank = std::make_shared<TEvent>();
    Queue().current = Queue().blank;
    InsertHook(EmitEventHookId(), QueueHook, nullptr, QUEUE_HOOK_PRIORITY);
}

void QueueEvent(const TEventPtr& event, int coalesce) {
    InitEventQueue();
    if (coalesce && MergeIntoWaiting(*event)) return;
    TEventQueue& queue = Queue();
    if (queue.put - queue.get >= EVENT_RING_SIZE) return;
    Slot(queue.put) = event;
    ++queue.put;
}

int QueuedEventCount() {
    InitEventQueue();
    return static_cast<int>(Queue().put - Queue().get);
}

TEventPtr PeekQueuedEvent() {
    InitEventQueue();
    if (RingEmpty()) PumpSystem();
    if (RingEmpty()) return nullptr;
    return Slot(Queue().get);
}

int TakeEvent() {
    InitEventQueue();
    if (RingEmpty()) PumpSystem();
    if (RingEmpty()) {
        Queue().current = Queue().blank;
        return 0;
    }
    return TakeFromRing();
}

int AwaitEvent() {
    InitEventQueue();
    while (RingEmpty()) AwaitSystem();
    return TakeFromRing();
}

TEventPtr CurrentEvent() {
    InitEventQueue();
    return Queue().current;
}

int CurrentEventId() { return CurrentEvent()->id; }
rt::TObjectPtr CurrentEventSource() { return CurrentEvent()->source; }
int CurrentEventData() { return CurrentEvent()->data; }
int CurrentEventMods() { return CurrentEvent()->mods; }
int CurrentEventX() { return CurrentEvent()->x; }
int CurrentEventY() { return CurrentEvent()->y; }
rt::TObjectPtr CurrentEventExtra() { return CurrentEvent()->extra; }

std::string CurrentEventText() {
    const auto* text = dynamic_cast<const rt::TTextObject*>(CurrentEvent()->extra.get());
    return text ? text->text : std::string();
}

int CurrentEventSourceHandle() {
    // Small integers for objects, stable while the object lives; a new object at a
    // freed one's address gets a new number.
    struct TEntry {
        std::weak_ptr<rt::TObject> object;
        int handle;
    };
    static std::unordered_map<const rt::TObject*, TEntry> handles;
    static int lastHandle = 0;

    const rt::TObjectPtr source = CurrentEventSource();
    if (!source) return 0;
    TEntry& entry = handles[source.get()];
    if (entry.object.expired() || entry.object.lock() != source) {
        entry = TEntry{source, ++lastHandle};
    }
    return entry.handle;
}

}  // namespace gui
