// The user's commands: each gives the application input through the host.

#include "tools/scenario/command_table.h"
#include "tools/scenario/steps.h"

namespace scenario {
namespace {

// The tags of the application's menu items; the script engine is built without the application.
constexpr int MENU_TAG_EXIT = 1;
constexpr int MENU_TAG_ABOUT = 3;

}  // namespace

std::string MissingGadget(const std::string& name) {
    return "the application has no gadget \"" + name + "\" at this moment";
}

std::string RunUserCommand(const TCommand& command, TScenarioHost& host) {
    const std::string& name = command.name;
    const std::vector<std::string>& a = command.args;
    if (name == "answer-dir") {
        host.QueueDirAnswer(a[0]);
    } else if (name == "answer-file") {
        host.QueueFileAnswer(a[0]);
    } else if (name == "click" || name == "set-text") {
        if (!host.HasGadget(a[0])) return MissingGadget(a[0]);
        if (name == "click") host.Click(a[0]);
        else host.TypeText(a[0], a[1]);
    } else if (name == "menu") {
        host.ChooseMenu(a[0] == "exit" ? MENU_TAG_EXIT : MENU_TAG_ABOUT);
    } else if (name == "close") {
        host.CloseWindow();
    } else if (name == "resize") {
        host.ResizeWindow(static_cast<int>(ArgumentNumber(a[0])),
                          static_cast<int>(ArgumentNumber(a[1])));
    }
    return {};
}

}  // namespace scenario
