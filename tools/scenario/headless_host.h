#pragma once
// The host on the headless driver: reads the application's gadgets back and injects a
// user's input as native input, which the driver hands to the application's loop.

#include <functional>

#include "gui/gadget.h"
#include "tools/scenario/scenario_host.h"

namespace scenario {

class THeadlessHost : public TScenarioHost {
public:
    // finder gives the application's gadget for a script name (null when none).
    using TFinder = std::function<gui::TGadgetPtr(std::string_view name)>;
    explicit THeadlessHost(TFinder finder) : finder_(std::move(finder)) {}

    bool HasGadget(std::string_view name) override;
    std::string GadgetText(std::string_view name) override;
    bool GadgetEnabled(std::string_view name) override;
    int ButtonState(std::string_view name) override;
    TRect GadgetRect(std::string_view name) override;
    std::string StatusBarText() override;
    int ProgressSteps() override;
    int TakeOpenedUrls() override;

    void QueueDirAnswer(const std::string& answer) override;
    void QueueFileAnswer(const std::string& answer) override;
    void Click(std::string_view name) override;
    void TypeText(std::string_view name, const std::string& text) override;
    void ChooseMenu(int tag) override;
    void CloseWindow() override;
    void ResizeWindow(int width, int height) override;

private:
    TFinder finder_;
};

}  // namespace scenario
