#include "app/main_window.h"

#include "gui/gui.h"

namespace app {
namespace {

constexpr int WINDOW_STYLE = gui::WINDOW_TITLEBAR | gui::WINDOW_RESIZABLE | gui::WINDOW_MENU |
                             gui::WINDOW_STATUS | gui::WINDOW_CLIENTCOORDS | gui::WINDOW_CENTER;
constexpr int PUSH_BUTTON = gui::BUTTON_PUSHLIKE;

// Path fields change only through their requesters.
int RejectEveryKey(const gui::TEventPtr&, const rt::TObjectPtr&) {
    return 0;
}

gui::TGadgetPtr Place(gui::TGadgetPtr gadget, int left, int right, int top, int bottom) {
    gui::LayoutGadget(gadget, left, right, top, bottom);
    return gadget;
}

gui::TGadgetPtr MakeStartStopButton(const MainWindow& gadgets, const std::string& text) {
    return Place(gui::MakeButton(text, 4, 194, 125, 24, gadgets.window, PUSH_BUTTON), 1, 0, 1, 0);
}

// The labels a screen reader names their fields by.
struct FieldLabels {
    gui::TGadgetPtr dir, datafile, log, minutes, status;
};

FieldLabels BuildGadgets(MainWindow& g) {
    const auto& w = g.window;
    const int width = gui::ClientWidthOf(w);
    FieldLabels labels;
    labels.dir = Place(gui::MakeLabel(DIR_LABEL_TEXT, 4, 4, 200, 20, w), 1, 0, 1, 0);
    g.dirField = Place(gui::MakeTextField(4, 24, 200, 24, w), 1, 1, 1, 0);
    g.browseButton = Place(gui::MakeButton("Browse...", 204, 24, 75, 24, w, PUSH_BUTTON), 0, 1, 1, 0);
    labels.datafile =
        Place(gui::MakeLabel("Save datafile as (optional)", 4, 48, 200, 20, w), 1, 0, 1, 0);
    g.datafileField = Place(gui::MakeTextField(4, 68, 200, 24, w), 1, 1, 1, 0);
    g.datafileSaveButton =
        Place(gui::MakeButton("Save as...", 204, 68, 75, 24, w, PUSH_BUTTON), 0, 1, 1, 0);
    labels.log =
        Place(gui::MakeLabel("Log changes to file (optional)", 4, 92, 200, 20, w), 1, 0, 1, 0);
    g.logField = Place(gui::MakeTextField(4, 112, 200, 24, w), 1, 1, 1, 0);
    g.logSaveButton =
        Place(gui::MakeButton("Save as...", 204, 112, 75, 24, w, PUSH_BUTTON), 0, 1, 1, 0);
    g.md5Box = Place(gui::MakeButton("Calculate md5 checksums", 4, 140, 200, 24, w,
                                     gui::BUTTON_CHECKBOX), 1, 0, 1, 0);
    g.intervalBox = Place(gui::MakeButton("Interval mode, run every:", 4, 168, 200, 24, w,
                                          gui::BUTTON_CHECKBOX), 1, 0, 1, 0);
    g.intervalField = Place(gui::MakeTextField(206, 168, 20, 24, w), 1, 0, 1, 0);
    labels.minutes = Place(gui::MakeLabel("minutes", 228, 168, 50, 20, w), 1, 0, 1, 0);
    g.startStopButton = MakeStartStopButton(g, "Start logging");
    g.reportArea = Place(gui::MakeTextArea(4, 218, width - 8, 124, w, gui::TEXTAREA_READONLY),
                         1, 1, 1, 1);
    labels.status = Place(gui::MakeLabel("Status: ", 4, 348, 50, 20, w), 2, 2, 0, 1);
    g.statusLabel = Place(gui::MakeLabel("", 58, 348, width - 66, 20, w), 2, 2, 0, 1);
    g.progressBar = Place(gui::MakeProgressBar(4, 372, width - 8, 20, w), 1, 1, 0, 1);
    return labels;
}

// What a screen reader says for each gadget, and the status texts it reads out as they come.
void DescribeGadgets(const MainWindow& g, const FieldLabels& labels) {
    gui::LabelGadget(g.dirField, labels.dir);
    gui::LabelGadget(g.datafileField, labels.datafile);
    gui::LabelGadget(g.logField, labels.log);
    gui::LabelGadget(g.intervalField, g.intervalBox);
    gui::LabelGadget(g.intervalField, labels.minutes);
    gui::LabelGadget(g.statusLabel, labels.status);
    gui::DescribeGadget(g.datafileSaveButton, "Save datafile as");
    gui::DescribeGadget(g.logSaveButton, "Save logfile as");
    gui::NameGadget(g.reportArea, "Change report");
    gui::NameGadget(g.progressBar, "Progress");
    gui::AnnounceGadgetText(g.statusLabel);
}

void BuildMenu(MainWindow& g) {
    const auto file = gui::MakeMenuItem("&File", MENU_FILE, g.window);
    g.exitItem = gui::MakeMenuItem("E&xit", MENU_EXIT, file);
    const auto help = gui::MakeMenuItem("&Help", MENU_HELP, g.window);
    g.aboutItem = gui::MakeMenuItem("&About", MENU_ABOUT, help);
}

}  // namespace

void BuildMainWindow(MainWindow& g) {
    gui::SetAppTitle(APP_TITLE);
    g.window = gui::MakeWindow(APP_TITLE, 50, 50, 480, 400, nullptr, WINDOW_STYLE);
    if (!g.window) return;
    DescribeGadgets(g, BuildGadgets(g));
    BuildMenu(g);
    gui::PutGadgetText(g.intervalField, "1");
    gui::DisableGadgetInput(g.startStopButton);
    for (const auto& field : {g.dirField, g.datafileField, g.logField}) {
        gui::FilterGadget(field, RejectEveryKey, nullptr);
        gui::MakeTextReadOnly(field);
    }
    gui::RebuildMenuBar(g.window);
}

void ReplaceStartStopButton(MainWindow& gadgets, const std::string& text) {
    const bool focused = gui::HasKeyboardFocus(gadgets.startStopButton);
    gui::DiscardGadget(gadgets.startStopButton);
    gadgets.startStopButton = MakeStartStopButton(gadgets, text);
    // A keyboard user pressing Start or Stop stays on the button.
    if (focused) gui::FocusGadget(gadgets.startStopButton);
}

void SetInputGadgetsEnabled(const MainWindow& g, bool enabled) {
    for (const auto& gadget : {g.browseButton, g.datafileSaveButton, g.logSaveButton, g.dirField,
                               g.datafileField, g.logField, g.md5Box, g.intervalBox}) {
        if (enabled) {
            gui::EnableGadgetInput(gadget);
        } else {
            gui::DisableGadgetInput(gadget);
        }
    }
}

}  // namespace app
