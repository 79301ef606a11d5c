#pragma once
// Everything the application uses of the toolkit.

#include "gui/event.h"
#include "gui/eventqueue.h"
#include "gui/gadget.h"
#include "gui/gadgets.h"
#include "gui/hook.h"
#include "gui/system.h"

namespace gui {

// Initialises every toolkit module in order (hooks, events, system driver, queue,
// gadgets and their driver). Any toolkit function does this on first use as well.
void InitGui();

}  // namespace gui
