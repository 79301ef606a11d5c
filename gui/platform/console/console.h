#pragma once
// The console driver as the command-line program sees it: the toolkit's gadgets kept in
// memory, status texts and progress on standard error, and Ctrl+C or SIGTERM as a press
// on a button.

#include <functional>

#include "gui/gadget.h"
#include "gui/platform/console/consoledisplay.h"

namespace gui::console {

// Status lines are on by default, the progress line off.
void Configure(const TConsoleOptions& options);

// The button an interrupt presses, asked anew at each interrupt: the application replaces
// its Start/Stop button at every Start. The press reaches the event queue as the button's
// GadgetAction, the next time the application polls. Call rt::CatchInterrupts as well.
void PressOnInterrupt(std::function<TGadgetPtr()> button);

// Erases the progress line, before other output goes to the terminal.
void ClearProgressLine();

}  // namespace gui::console
