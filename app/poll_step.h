#pragma once
// The poll step of every loop of logging: at most one event, taken without waiting.

#include "app/flow.h"

namespace app {

struct Application;

// Takes at most one event and handles it: the Start/Stop button is a stop request, and
// Stop is the answer (the caller decides what it stops); Exit and window close end the
// process, About opens the product's web page, anything else is consumed.
Flow PollStep(Application& app);

// Exit, window close and About act the same while idle and while logging.
void HandleProgramEvent(int eventId);

}  // namespace app
