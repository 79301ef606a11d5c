// tervala-gtk-run [--unchanged] DIR: one logging run of DIR on the GTK driver, as the tervala
// program does it after Browse and Start, then exit. The program takes no arguments and has
// no hook to start a run, so this stand-in lets a benchmark time the GTK side alone.
// The datafile name is derived as usual, so it lands in the current directory.

#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/logging.h"
#include "gui/gui.h"

namespace {

// Lets the window map and settle first, as it has long done when a user presses Start.
void Settle() {
    for (int i = 0; i < 50; ++i) {
        gui::PumpSystem();
        while (gui::TakeEvent() != 0) {
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool unchanged = false;
    int arg = 1;
    if (arg < argc && std::string(argv[arg]) == "--unchanged") {
        unchanged = true;
        ++arg;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: tervala-gtk-run [--unchanged] DIR\n");
        return 2;
    }
    app::Application app;
    app::BuildMainWindow(app.gadgets);
    if (!app.gadgets.window) {
        std::fprintf(stderr, "tervala-gtk-run: no window (is a display available?)\n");
        return 1;
    }
    Settle();
    // What Browse leaves behind: the directory in the run variables and the field, Start enabled.
    app.run.dir = argv[arg];
    gui::PutGadgetText(app.gadgets.dirField, app.run.dir);
    gui::EnableGadgetInput(app.gadgets.startStopButton);
    app::RunLogging(app);

    const std::string status = gui::FetchGadgetText(app.gadgets.statusLabel);
    if (status != "Dir log run complete") {
        std::fprintf(stderr, "tervala-gtk-run: status \"%s\"\n", status.c_str());
        return 1;
    }
    // A timing of an unchanged tree means little if the run found changes.
    const std::string report = gui::FetchGadgetText(app.gadgets.reportArea);
    if (unchanged && !report.empty()) {
        std::fprintf(stderr, "tervala-gtk-run: unexpected changes:\n%s\n", report.c_str());
        return 1;
    }
    return 0;
}
