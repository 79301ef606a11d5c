#pragma once
// The Win32 gadget driver: makes the native gadgets and keeps the creation contract.

#include <memory>
#include <string>

#include "gui/gadgetdriver.h"

namespace gui::win32 {

class TWinGadgetDriver : public TGadgetDriver {
public:
    TWinGadgetDriver();

    std::string UserName() override;
    std::string ComputerName() override;
    std::shared_ptr<TGuiFont> LoadFont(const std::string&, double, int) override { return nullptr; }
    TGadgetPtr CreateGadget(int kind, const std::string& text, int x, int y, int w, int h,
                            const TGadgetPtr& group, int style) override;
    TGadgetPtr ActiveGadget() override;
    int RequestColor(int, int, int) override { return 0; }
    std::shared_ptr<TGuiFont> RequestFont(const std::shared_ptr<TGuiFont>&) override { return nullptr; }
    void SetPointer(int) override {}
    std::shared_ptr<TIconStrip> LoadIconStrip(const std::string&) override { return nullptr; }

private:
    TGadgetPtr MakeNative(int kind, const TGadgetPtr& group, int style);

    TGadgetPtr desktop_;
};

}  // namespace gui::win32
