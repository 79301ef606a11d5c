#pragma once
// The GTK gadget driver: makes the native gadgets and keeps the creation contract.

#include <memory>
#include <string>
#include <vector>

#include "gui/gadgetdriver.h"

namespace gui::gtk {

class TGtkGadgetDriver : public TGadgetDriver {
public:
    TGtkGadgetDriver();

    std::string UserName() override;
    std::string ComputerName() override;
    std::shared_ptr<TGuiFont> LoadFont(const std::string&, double, int) override { return nullptr; }
    TGadgetPtr CreateGadget(int kind, const std::string& text, int x, int y, int w, int h,
                            const TGadgetPtr& group, int style) override;
    TGadgetPtr ActiveGadget() override;
    int RequestColor(int, int, int) override { return 0; }
    std::shared_ptr<TGuiFont> RequestFont(const std::shared_ptr<TGuiFont>&) override {
        return nullptr;
    }
    void SetPointer(int) override {}
    std::shared_ptr<TIconStrip> LoadIconStrip(const std::string&) override { return nullptr; }

private:
    TGadgetPtr MakeNative(int kind, const TGadgetPtr& group, int style);

    TGadgetPtr desktop_;
    std::vector<std::weak_ptr<TGadget>> windows_;
};

}  // namespace gui::gtk
