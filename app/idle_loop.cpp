#include "app/idle_loop.h"

#include <cstdint>
#include <string>

#include "app/logging.h"
#include "app/poll_step.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "runtime/clock.h"
#include "runtime/filesystem.h"

namespace app {
namespace {

constexpr std::uint32_t IDLE_SLEEP_MS = 25;

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

Application& TheApplication() {
    static Application application;
    return application;
}

void HandleIdleEvent(Application& app, int eventId) {
    if (eventId == gui::GadgetAction) {
        HandleGadgetAction(app);
    } else {
        HandleProgramEvent(eventId);
    }
}

int RunMain() {
    db::initSQLiteDriver();
    rt::ChangeDir(rt::CurrentDir());
    Application& app = TheApplication();
    BuildMainWindow(app.gadgets);
    for (;;) {
        HandleIdleEvent(app, gui::AwaitEvent());
        rt::SleepMs(IDLE_SLEEP_MS);
    }
}

}  // namespace app
