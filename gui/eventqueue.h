#pragma once
// The event queue: a ring of 256 events filled by the queue hook (priority -10000 on
// the emit-event chain) and emptied by the application's loop, one event at a time.

#include <cstdint>
#include <string>

#include "gui/event.h"

namespace gui {

inline constexpr int EVENT_RING_SIZE = 256;
inline constexpr int QUEUE_HOOK_PRIORITY = -10000;

// Stores an event; with coalesce, merges it into a waiting event of the same id and
// source instead. A full ring drops the event.
void QueueEvent(const TEventPtr& event, int coalesce);
// Number of events waiting in the ring.
int QueuedEventCount();

// The next event without taking it (polls the system once when the ring is empty).
TEventPtr PeekQueuedEvent();
// Takes the next event and returns its id; polls once when empty, then 0 and the
// blank event becomes current.
int TakeEvent();
// Takes the next event, waiting for the system as long as the ring is empty.
int AwaitEvent();

// Fields of the current (last taken) event.
TEventPtr CurrentEvent();
int CurrentEventId();
rt::TObjectPtr CurrentEventSource();
int CurrentEventData();
int CurrentEventMods();
int CurrentEventX();
int CurrentEventY();
rt::TObjectPtr CurrentEventExtra();
std::string CurrentEventText();   // extra when it is a text, else ""
int CurrentEventSourceHandle();   // 0 for no source

// Let the system driver drain (or wait for, then drain) native input. Skipped while a
// poll or wait is already running.
void PumpSystem();
void AwaitSystem();

// Queue set-up, once (events and the system driver first).
void InitEventQueue();

}  // namespace gui
