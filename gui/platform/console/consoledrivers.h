#pragma once
// The console drivers. The gadget driver makes TConsoleGadgets that show on one display;
// the system driver turns an interrupt into a button press and answers every requester
// as cancelled, since there is nobody to ask.

#include <functional>
#include <memory>
#include <string>

#include "gui/gadgetdriver.h"
#include "gui/platform/console/consoledisplay.h"
#include "gui/systemdriver.h"

namespace gui::console {

// The one display of the process: standard error.
TConsoleDisplay& Display();

class TConsoleGadgetDriver : public TGadgetDriver {
public:
    std::string UserName() override { return {}; }
    std::string ComputerName() override { return {}; }
    std::shared_ptr<TGuiFont> LoadFont(const std::string&, double, int) override { return nullptr; }
    TGadgetPtr CreateGadget(int kind, const std::string& text, int x, int y, int w, int h,
                            const TGadgetPtr& group, int style) override;
    TGadgetPtr ActiveGadget() override { return nullptr; }
    int RequestColor(int, int, int) override { return 0; }
    std::shared_ptr<TGuiFont> RequestFont(const std::shared_ptr<TGuiFont>&) override {
        return nullptr;
    }
    void SetPointer(int) override {}
    std::shared_ptr<TIconStrip> LoadIconStrip(const std::string&) override { return nullptr; }

private:
    TGadgetPtr desktop_;
};

class TConsoleSystemDriver : public TSystemDriver {
public:
    using TButtonFinder = std::function<TGadgetPtr()>;

    // Presses the interrupt button when an interrupt has come.
    void Poll() override;
    // Sleeps until an interrupt has pressed the button.
    void Wait() override;
    void MoveMouse(int, int) override {}
    void SetMouseVisible(int) override {}
    void Notify(const std::string&, int) override {}
    int Confirm(const std::string&, int) override { return 0; }
    int Proceed(const std::string&, int) override { return -1; }
    std::string RequestFile(const TFileRequest&) override { return {}; }
    std::string RequestDir(const std::string&, const std::string&) override { return {}; }
    int OpenURL(const std::string&) override { return 0; }
    void PostNotification(const std::string&, const std::string&) override {}

    void PressOnInterrupt(TButtonFinder button) { interruptButton_ = std::move(button); }

private:
    bool PressForInterrupt();

    TButtonFinder interruptButton_;
};

}  // namespace gui::console
