#include "app/poll_step.h"

#include "app/application.h"
#include "gui/gui.h"
#include "runtime/process.h"

namespace app {

bool HandleProgramEvent(int eventId) {
    if (eventId == gui::WindowClose) rt::EndProcess(0);
    if (eventId != gui::MenuAction) return false;
    switch (gui::CurrentEventData()) {
        case MENU_EXIT: rt::EndProcess(0);
        case MENU_ABOUT: gui::OpenURL(PRODUCT_URL); return true;
        default: return false;
    }
}

PollResult PollStep(Application& app) {
    const int eventId = gui::TakeEvent();
    if (eventId == gui::GadgetAction &&
        gui::CurrentEventSource() == app.gadgets.startStopButton) {
        return PollResult::StopRequest;
    }
    HandleProgramEvent(eventId);
    return PollResult::Continue;
}

}  // namespace app
