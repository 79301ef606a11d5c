#pragma once
// One entry of a list-like gadget (list box, combo box, tabber, toolbar).

#include <memory>
#include <string>

#include "runtime/object.h"

namespace gui {

// Item flags.
enum : int {
    ITEM_SELECT = 1,         // select the item when it is inserted or set
    ITEM_SELECTED_ICON = 2,  // while selected, show icon + 1 instead of the icon
    ITEM_LOCALIZED = 4,      // text and tip are tokens for the localisation engine
};

// SelectItem operations.
enum : int { SELECT_CLEAR = 0, SELECT_SET = 1, SELECT_TOGGLE = 2 };

class TGadgetItem : public rt::TObject {
public:
    std::string text;
    std::string tip;
    int icon = -1;  // -1: none
    int flags = 0;
    rt::TObjectPtr extra;

    void Set(const std::string& itemText, const std::string& itemTip, int itemIcon,
             rt::TObjectPtr itemExtra, int itemFlags) {
        text = itemText;
        tip = itemTip;
        icon = itemIcon;
        extra = std::move(itemExtra);
        flags = itemFlags;
    }
};

// What the driver shows for an item in a state: text and tip through the localisation
// engine when they are tokens, and icon + 1 while a selected-icon item is selected.
struct TItemDisplay {
    std::string text;
    std::string tip;
    int icon = -1;
};
TItemDisplay ItemDisplay(const TGadgetItem& item, int state);

}  // namespace gui
