#pragma once
// The event list a change notification hands out, shared by its platform implementations.

#include <vector>

#include "runtime/named_directories.h"
#include "runtime/tree_watch.h"

namespace rt {

// Consecutive equal events say nothing more than the first (a long write, or one unmount
// seen by every watch of the file system): only the first is kept.
inline void AppendTreeEvent(std::vector<TreeEvent>& events, TreeEvent event) {
    const bool repeat = !events.empty() && events.back().kind == event.kind &&
                        events.back().directory == event.directory &&
                        events.back().name == event.name;
    if (!repeat) events.push_back(std::move(event));
}

// What a watch's reader gathered, handed over and let go: the alarms first, then each named
// entry of each directory (the empty name for one kept whole).
inline std::vector<TreeEvent> TakeTreeEvents(std::vector<TreeEvent>& alarms,
                                             TNamedDirectories& changed) {
    std::vector<TreeEvent> events = std::move(alarms);
    alarms.clear();
    for (TNamedDirectory& named : changed.TakeAll()) {
        if (named.whole) events.push_back({TreeEvent::Kind::Changed, named.path, {}});
        for (const std::string& name : named.names) {
            events.push_back({TreeEvent::Kind::Changed, named.path, name});
        }
    }
    return events;
}

}  // namespace rt
