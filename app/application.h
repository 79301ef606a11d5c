#pragma once
// The program's state: the main window's gadgets, the run variables and the working
// database of the logging in progress.

#include <memory>
#include <string>
#include <string_view>

#include "app/run_variables.h"
#include "gui/gadget.h"

namespace db {
class TDBSQLite;
}

namespace app {

inline constexpr const char* APP_TITLE = "Tervala_gui v1.4";
inline constexpr const char* PRODUCT_URL = "https://www.example.org/tervala/";

// The status texts of a datafile the lists cannot be read from or written to: the first
// when loading or rotating fails, the second when a logging run's own list does.
inline constexpr const char* OLD_DATAFILE_ERROR =
    "Datafile ERROR! (Please delete old datafile prior to v1.3)";
inline constexpr const char* OLD_DATAFILES_ERROR =
    "Datafile ERROR! (Please delete old datafiles prior to v1.3)";

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

struct Application {
    MainWindow gadgets;
    RunVariables run;
    // The in-memory working database of the logging in progress.
    std::shared_ptr<db::TDBSQLite> tdb;

    void ShowStatus(const std::string& text) const;
    void ShowStatusBar(const std::string& text) const;
    void ShowProgress(float done, float total) const;
};

}  // namespace app
