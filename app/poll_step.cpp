#include "app/poll_step.h"

#include "app/application.h"
#include "app/user_guide.h"
#include "gui/gui.h"
#include "runtime/process.h"

namespace app {

void HandleProgramEvent(int eventId) {
    if (eventId == gui::WindowClose) rt::EndProcess(0);
    if (eventId != gui::MenuAction) return;
    switch (gui::CurrentEventData()) {
        case MENU_EXIT: rt::EndProcess(0);
        case MENU_ABOUT: gui::OpenURL(UserGuideURL()); return;
        default: return;
    }
}

Flow PollStep(Application& app) {
    const int eventId = gui::TakeEvent();
    if (eventId == gui::GadgetAction &&
        gui::CurrentEventSource() == app.gadgets.startStopButton) {
        return Flow::Stop;
    }
    HandleProgramEvent(eventId);
    return Flow::Continue;
}

}  // namespace app
