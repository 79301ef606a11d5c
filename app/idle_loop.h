#pragma once
// The main routine: start-up, the idle loop and the handling of what the user does while
// no logging runs.

#include "app/application.h"

namespace app {

// The one application of the program, as the main routine runs it.
Application& TheApplication();

// Handles one event taken by the idle loop; "Start logging" runs the whole logging.
void HandleIdleEvent(Application& app, int eventId);

// Registers the database driver, makes the launch directory current, builds the window and
// runs the idle loop for ever. The process ends through Exit or the window's close box.
int RunMain();

}  // namespace app
