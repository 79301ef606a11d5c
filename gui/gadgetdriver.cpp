#include "gui/gadgetdriver.h"

namespace gui {

int TGadgetDriver::LookupColor(int /*kind*/, int& red, int& green, int& blue) {
    red = green = blue = 0;
    return 0;
}

// Until languages exist every token reads as itself, as it does with localisation off.
void TGadgetDriver::SetGadgetLocalization(const TGadgetPtr& gadget, const std::string& textToken,
                                          const std::string& tipToken) {
    {
        std::lock_guard<std::mutex> lock(localizedLock_);
        _mapLocalized[gadget.get()] = {textToken, tipToken};
    }
    gadget->SetText(textToken);
    gadget->SetTooltip(tipToken);
}

int TGadgetDriver::GadgetLocalized(const TGadget* gadget) {
    std::lock_guard<std::mutex> lock(localizedLock_);
    return _mapLocalized.count(gadget) ? 1 : 0;
}

void TGadgetDriver::DelocalizeGadget(const TGadget* gadget) {
    std::lock_guard<std::mutex> lock(localizedLock_);
    _mapLocalized.erase(gadget);
}

}  // namespace gui
