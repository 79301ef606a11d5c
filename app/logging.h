#pragma once
// The sequence of logging that a press on "Start logging" sets going: one logging run,
// or in interval mode one every `minutes` minutes until the user stops.

namespace app {

struct Application;

// Runs the whole logging on the main thread and returns when it has ended, with the
// Start/Stop button reading "Start logging" again.
void RunLogging(Application& app);

}  // namespace app
