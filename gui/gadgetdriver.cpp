// The steps of the creation contract that every driver keeps the same way.

#include "gui/gadgetdriver.h"

namespace gui {

TGadgetPtr TGadgetDriver::FinishCreation(const TGadgetPtr& gadget, int kind,
                                         const std::string& text, int x, int y, int w, int h,
                                         const TGadgetPtr& group, int style) {
    if (!gadget || kind == GADGET_DESKTOP) return gadget;
    if (kind == GADGET_MENUITEM || kind == GADGET_NODE) {
        gadget->name = text;
        if (group) gadget->_setparent(group, -1);
        return gadget;
    }
    SetCreationText(gadget, text);
    if (group) gadget->_setparent(group, -1);
    if (kind != GADGET_TOOLBAR) gadget->SetShape(x, y, w, h);
    if (kind == GADGET_WINDOW) {
        gadget->SetShow((style & WINDOW_HIDDEN) ? 0 : 1);
        return gadget;
    }
    if (group && (group->State() & STATE_DISABLED)) gadget->SetEnabled(0);
    gadget->SetShow(1);
    return gadget;
}

}  // namespace gui
