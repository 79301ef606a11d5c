#pragma once
// What the runner needs of the running application: reading its gadgets back and
// giving it a user's input. Gadgets are named as in scripts ("startstop", "status", ...).

#include <string>
#include <string_view>

namespace scenario {

struct TRect {
    int x = 0, y = 0, w = 0, h = 0;
};

class TScenarioHost {
public:
    virtual ~TScenarioHost() = default;

    // Read-back; a name the application has no gadget for at the moment is not there.
    virtual bool HasGadget(std::string_view name) = 0;
    virtual std::string GadgetText(std::string_view name) = 0;
    virtual bool GadgetEnabled(std::string_view name) = 0;
    virtual int ButtonState(std::string_view name) = 0;
    virtual TRect GadgetRect(std::string_view name) = 0;
    virtual std::string StatusBarText() = 0;
    // Progress bar position in steps of 100.
    virtual int ProgressSteps() = 0;
    // How many URLs were handed to the system since the last call.
    virtual int TakeOpenedUrls() = 0;

    // Input. Answers wait for the next requester of their kind.
    virtual void QueueDirAnswer(const std::string& answer) = 0;
    virtual void QueueFileAnswer(const std::string& answer) = 0;
    virtual void Click(std::string_view name) = 0;
    virtual void TypeText(std::string_view name, const std::string& text) = 0;
    virtual void ChooseMenu(int tag) = 0;
    virtual void CloseWindow() = 0;
    virtual void ResizeWindow(int width, int height) = 0;
};

}  // namespace scenario
