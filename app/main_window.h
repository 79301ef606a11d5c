#pragma once
// The main window with its menu and gadgets, the idle loop and the program's entry.

#include <string>

#include "app/application.h"

namespace app {

// The one application of the program, as the main routine runs it.
Application& TheApplication();

// Sets the application title and builds the window, its gadgets and its menu. When the
// window cannot be created no gadget is made.
void BuildMainWindow(MainWindow& gadgets);

// Frees the Start/Stop button and makes a new enabled one with this text in its place.
void ReplaceStartStopButton(MainWindow& gadgets, const std::string& text);

// The eight gadgets that logging disables: Browse, both Save as buttons, the three path
// fields and both check boxes.
void SetInputGadgetsEnabled(const MainWindow& gadgets, bool enabled);

// Handles one event taken by the idle loop; "Start logging" runs the whole logging.
void HandleIdleEvent(Application& app, int eventId);

// The main routine: makes the launch directory current, builds the window and runs the
// idle loop for ever. The process ends through Exit or the window's close box.
int RunMain();

}  // namespace app
