#pragma once
// The event list a change notification hands out, shared by its platform implementations.

#include <vector>

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

}  // namespace rt
