#pragma once
// The main window: its gadgets and menu, built once at start-up, and the Start/Stop
// button that logging replaces.

#include <string>

#include "gui/gadget.h"

namespace app {

inline constexpr const char* APP_TITLE = "Tervala_gui v1.4";
// The first label, and the title of the directory requester that Browse opens.
inline constexpr const char* DIR_LABEL_TEXT = "Select dir to monitor";

// Menu tags; each comes back as the data of its MenuAction.
enum MenuTag : int { MENU_FILE = 0, MENU_EXIT = 1, MENU_HELP = 2, MENU_ABOUT = 3 };

struct MainWindow {
    gui::TGadgetPtr window;
    gui::TGadgetPtr dirField;
    gui::TGadgetPtr browseButton;
    gui::TGadgetPtr datafileField;
    gui::TGadgetPtr datafileSaveButton;
    gui::TGadgetPtr logField;
    gui::TGadgetPtr logSaveButton;
    gui::TGadgetPtr md5Box;
    gui::TGadgetPtr intervalBox;
    gui::TGadgetPtr intervalField;
    // Replaced by a new button at every Start and at every end of logging.
    gui::TGadgetPtr startStopButton;
    gui::TGadgetPtr reportArea;
    gui::TGadgetPtr statusLabel;
    gui::TGadgetPtr progressBar;
    gui::TGadgetPtr exitItem;
    gui::TGadgetPtr aboutItem;
};

// Sets the application title and builds the window, its gadgets and its menu. When the
// window cannot be created no gadget is made.
void BuildMainWindow(MainWindow& gadgets);

// Frees the Start/Stop button and makes a new enabled one with this text in its place; the
// keyboard focus moves with it.
void ReplaceStartStopButton(MainWindow& gadgets, const std::string& text);

// The eight gadgets that logging disables: Browse, both Save as buttons, the three path
// fields and both check boxes.
void SetInputGadgetsEnabled(const MainWindow& gadgets, bool enabled);

}  // namespace app
