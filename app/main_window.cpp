#include "app/main_window.h"

#include "app/logging.h"
#include "app/poll_step.h"
#include "gui/gui.h"
#include "runtime/clock.h"
#include "runtime/filesystem.h"

namespace app {
namespace {

constexpr int WINDOW_STYLE = gui::WINDOW_TITLEBAR | gui::WINDOW_RESIZABLE | gui::WINDOW_MENU |
                             gui::WINDOW_STATUS | gui::WINDOW_CLIENTCOORDS | gui::WINDOW_CENTER;
constexpr int PUSH_BUTTON = gui::BUTTON_PUSHLIKE;
constexpr std::uint32_t IDLE_SLEEP_MS = 25;
constexpr const char* DIR_LABEL_TEXT = "Select dir to monitor";

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

void BuildGadgets(MainWindow& g) {
    const auto& w = g.window;
    const int width = gui::ClientWidthOf(w);
    Place(gui::MakeLabel(DIR_LABEL_TEXT, 4, 4, 200, 20, w), 1, 0, 1, 0);
    g.dirField = Place(gui::MakeTextField(4, 24, 200, 24, w), 1, 1, 1, 0);
    g.browseButton = Place(gui::MakeButton("Browse...", 204, 24, 75, 24, w, PUSH_BUTTON), 0, 1, 1, 0);
    Place(gui::MakeLabel("Save datafile as (optional)", 4, 48, 200, 20, w), 1, 0, 1, 0);
    g.datafileField = Place(gui::MakeTextField(4, 68, 200, 24, w), 1, 1, 1, 0);
    g.datafileSaveButton =
        Place(gui::MakeButton("Save as...", 204, 68, 75, 24, w, PUSH_BUTTON), 0, 1, 1, 0);
    Place(gui::MakeLabel("Log changes to file (optional)", 4, 92, 200, 20, w), 1, 0, 1, 0);
    g.logField = Place(gui::MakeTextField(4, 112, 200, 24, w), 1, 1, 1, 0);
    g.logSaveButton =
        Place(gui::MakeButton("Save as...", 204, 112, 75, 24, w, PUSH_BUTTON), 0, 1, 1, 0);
    g.md5Box = Place(gui::MakeButton("Calculate md5 checksums", 4, 140, 200, 24, w,
                                     gui::BUTTON_CHECKBOX), 1, 0, 1, 0);
    g.intervalBox = Place(gui::MakeButton("Interval mode, run every:", 4, 168, 200, 24, w,
                                          gui::BUTTON_CHECKBOX), 1, 0, 1, 0);
    g.intervalField = Place(gui::MakeTextField(206, 168, 20, 24, w), 1, 0, 1, 0);
    Place(gui::MakeLabel("minutes", 228, 168, 50, 20, w), 1, 0, 1, 0);
    g.startStopButton = MakeStartStopButton(g, "Start logging");
    g.reportArea = Place(gui::MakeTextArea(4, 218, width - 8, 124, w, gui::TEXTAREA_READONLY),
                         1, 1, 1, 1);
    Place(gui::MakeLabel("Status: ", 4, 348, 50, 20, w), 2, 2, 0, 1);
    g.statusLabel = Place(gui::MakeLabel("", 58, 348, width - 66, 20, w), 2, 2, 0, 1);
    g.progressBar = Place(gui::MakeProgressBar(4, 372, width - 8, 20, w), 1, 1, 0, 1);
}

void BuildMenu(MainWindow& g) {
    const auto file = gui::MakeMenuItem("&File", MENU_FILE, g.window);
    g.exitItem = gui::MakeMenuItem("E&xit", MENU_EXIT, file);
    const auto help = gui::MakeMenuItem("&Help", MENU_HELP, g.window);
    g.aboutItem = gui::MakeMenuItem("&About", MENU_ABOUT, help);
}

// A cancelled requester gives the empty text, which the field shows and the variable takes.
std::string AskForFile(const char* title, const gui::TGadgetPtr& field) {
    std::string path = gui::RequestFile(title, "", 1, "");
    gui::PutGadgetText(field, path);
    return path;
}

void HandleGadgetAction(Application& app) {
    auto& g = app.gadgets;
    auto& run = app.run;
    const auto source = gui::CurrentEventSource();
    if (!source) return;  // without a window there are no gadgets to match
    if (source == g.browseButton) {
        run.dir = gui::RequestDir(DIR_LABEL_TEXT, "");
        gui::PutGadgetText(g.dirField, run.dir);
        if (!run.dir.empty()) gui::EnableGadgetInput(g.startStopButton);
    } else if (source == g.datafileSaveButton) {
        run.datafilepath = AskForFile("Save datafile as", g.datafileField);
        run.datafilechosen = true;
    } else if (source == g.logSaveButton) {
        run.logpath = AskForFile("Save logfile as", g.logField);
        run.logchosen = true;
    } else if (source == g.md5Box) {
        run.md5 = gui::ReadButtonState(g.md5Box) != 0;
    } else if (source == g.intervalBox) {
        run.intervalmode = gui::ReadButtonState(g.intervalBox) != 0;
    } else if (source == g.startStopButton) {
        RunLogging(app);
    }
}

}  // namespace

void Application::ShowStatus(const std::string& text) const {
    gui::PutGadgetText(gadgets.statusLabel, text);
}

void Application::ShowStatusBar(const std::string& text) const {
    gui::PutStatusBarText(gadgets.window, text);
}

void Application::ShowProgress(float done, float total) const {
    // Nothing to measure against yet: the bar stays empty.
    gui::PutProgressValue(gadgets.progressBar, total > 0 ? done / total : 0.0f);
}

Application& TheApplication() {
    static Application application;
    return application;
}

void BuildMainWindow(MainWindow& g) {
    gui::SetAppTitle(APP_TITLE);
    g.window = gui::MakeWindow(APP_TITLE, 50, 50, 480, 400, nullptr, WINDOW_STYLE);
    if (!g.window) return;
    BuildGadgets(g);
    BuildMenu(g);
    gui::PutGadgetText(g.intervalField, "1");
    gui::DisableGadgetInput(g.startStopButton);
    for (const auto& field : {g.dirField, g.datafileField, g.logField}) {
        gui::FilterGadget(field, RejectEveryKey, nullptr);
    }
    gui::RebuildMenuBar(g.window);
}

void ReplaceStartStopButton(MainWindow& gadgets, const std::string& text) {
    gui::DiscardGadget(gadgets.startStopButton);
    gadgets.startStopButton = MakeStartStopButton(gadgets, text);
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

void HandleIdleEvent(Application& app, int eventId) {
    if (eventId == gui::GadgetAction) {
        HandleGadgetAction(app);
    } else {
        HandleProgramEvent(eventId);
    }
}

int RunMain() {
    rt::ChangeDir(rt::CurrentDir());
    Application& app = TheApplication();
    BuildMainWindow(app.gadgets);
    for (;;) {
        HandleIdleEvent(app, gui::AwaitEvent());
        rt::SleepMs(IDLE_SLEEP_MS);
    }
}

}  // namespace app
