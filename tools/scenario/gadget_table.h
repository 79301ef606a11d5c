#pragma once
// The gadgets scripts name, each with the main-window field that holds it: the one list
// from which both the script checker and the host's gadget lookup are made.

#include <string_view>
#include <vector>

#include "app/application.h"
#include "gui/gadget.h"

namespace scenario {

struct TGadgetEntry {
    std::string_view name;
    gui::TGadgetPtr app::MainWindow::*field;
};

// Menu items are not here: scripts reach them with `menu`.
inline constexpr TGadgetEntry GADGET_TABLE[] = {
    {"browse", &app::MainWindow::browseButton},
    {"datafile-save", &app::MainWindow::datafileSaveButton},
    {"log-save", &app::MainWindow::logSaveButton},
    {"md5", &app::MainWindow::md5Box},
    {"interval", &app::MainWindow::intervalBox},
    {"startstop", &app::MainWindow::startStopButton},
    {"dir-field", &app::MainWindow::dirField},
    {"datafile-field", &app::MainWindow::datafileField},
    {"log-field", &app::MainWindow::logField},
    {"interval-field", &app::MainWindow::intervalField},
    {"report", &app::MainWindow::reportArea},
    {"status", &app::MainWindow::statusLabel},
    {"progress", &app::MainWindow::progressBar},
    {"window", &app::MainWindow::window},
};

// The gadget names scripts use, in the table's order.
const std::vector<std::string_view>& GadgetNames();

// The gadget the window holds under the name at this moment (the field is read at each
// call, since the Start/Stop button is replaced at every Start); null for other names.
gui::TGadgetPtr GadgetNamed(const app::MainWindow& gadgets, std::string_view name);

}  // namespace scenario
