#pragma once
// The poll step of every loop of logging: at most one event, taken without waiting.

namespace app {

struct Application;

enum class PollResult { Continue, StopRequest };

// Takes at most one event and handles it: the Start/Stop button is a stop request (the
// caller decides what it stops), Exit and window close end the process, About opens the
// product's web page, anything else is consumed.
PollResult PollStep(Application& app);

// Exit, window close and About act the same while idle and while logging; true when the
// current event was one of them.
bool HandleProgramEvent(int eventId);

}  // namespace app
