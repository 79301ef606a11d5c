// The item list of list-like gadgets and its selection. `items` is the model; every
// change is mirrored through the driver's list operations, which also keep the
// selection state.

#include "gui/gadget.h"

#include <algorithm>

#include "gui/gadgetitem.h"
#include "gui/localization.h"

namespace gui {
namespace {

// The first entry where two ascending index lists part, or -1 when they are equal.
int FirstDifference(const std::vector<int>& before, const std::vector<int>& now) {
    const auto [b, n] = std::mismatch(before.begin(), before.end(), now.begin(), now.end());
    if (b != before.end() && n != now.end()) return std::min(*b, *n);
    if (b != before.end()) return *b;
    if (n != now.end()) return *n;
    return -1;
}

}  // namespace

TItemDisplay ItemDisplay(const TGadgetItem& item, int state) {
    TItemDisplay display{item.text, item.tip, item.icon};
    if (item.flags & ITEM_LOCALIZED) {
        display.text = TLocalizationEngine::LocalizeString(item.text);
        display.tip = TLocalizationEngine::LocalizeString(item.tip);
    }
    if (item.icon >= 0 && (item.flags & ITEM_SELECTED_ICON) && (state & STATE_SELECTED)) {
        display.icon = item.icon + 1;
    }
    return display;
}

void TGadget::Clear() {
    ClearListItems();
    items.clear();
}

void TGadget::InsertItem(int index, const std::string& text, const std::string& tip, int icon,
                         rt::TObjectPtr itemExtra, int flags) {
    if (index < 0 || index > ItemCount()) index = ItemCount();
    auto item = std::make_shared<TGadgetItem>();
    item->Set(text, tip, icon, std::move(itemExtra), flags);
    items.insert(items.begin() + index, item);
    const TItemDisplay shown = ItemDisplay(*item, 0);
    InsertListItem(index, shown.text, shown.tip, shown.icon, item->extra);
    if (flags & ITEM_SELECT) SelectItem(index, SELECT_SET);
}

void TGadget::SetItem(int index, const std::string& text, const std::string& tip, int icon,
                      rt::TObjectPtr itemExtra, int flags) {
    if (index < 0 || index >= ItemCount()) return;
    TGadgetItem& item = *items[index];
    item.Set(text, tip, icon, std::move(itemExtra), flags);
    const TItemDisplay shown = ItemDisplay(item, ItemState(index));
    SetListItem(index, shown.text, shown.tip, shown.icon, item.extra);
    if (flags & ITEM_SELECT) SelectItem(index, SELECT_SET);
}

void TGadget::RemoveItem(int index) {
    if (index < 0 || index >= ItemCount()) return;
    items.erase(items.begin() + index);
    RemoveListItem(index);
}

int TGadget::ItemCount() const { return static_cast<int>(items.size()); }

std::string TGadget::ItemText(int index) const {
    return index >= 0 && index < ItemCount() ? items[index]->text : std::string();
}

std::string TGadget::ItemTip(int index) const {
    return index >= 0 && index < ItemCount() ? items[index]->tip : std::string();
}

int TGadget::ItemFlags(int index) const {
    return index >= 0 && index < ItemCount() ? items[index]->flags : 0;
}

int TGadget::ItemIcon(int index) const {
    return index >= 0 && index < ItemCount() ? items[index]->icon : 0;
}

rt::TObjectPtr TGadget::ItemExtra(int index) const {
    return index >= 0 && index < ItemCount() ? items[index]->extra : nullptr;
}

void TGadget::SetItemState(int index, int state) {
    if (index >= 0 && index < ItemCount()) SetListItemState(index, state);
}

int TGadget::ItemState(int index) {
    return index >= 0 && index < ItemCount() ? ListItemState(index) : 0;
}

void TGadget::SelectItem(int index, int op) {
    if (index == -1) {
        for (int i = 0; i < ItemCount(); ++i) SelectItem(i, op);
        return;
    }
    if (index < 0 || index >= ItemCount()) return;
    int state = ItemState(index);
    if (op == SELECT_CLEAR) state &= ~STATE_SELECTED;
    if (op == SELECT_SET) state |= STATE_SELECTED;
    if (op == SELECT_TOGGLE) state ^= STATE_SELECTED;
    const TGadgetItem& item = *items[index];
    if (item.icon >= 0 && (item.flags & ITEM_SELECTED_ICON)) {
        const TItemDisplay shown = ItemDisplay(item, state);
        SetListItem(index, shown.text, shown.tip, shown.icon, item.extra);
    }
    SetItemState(index, state);
}

std::vector<int> TGadget::SelectedItems() {
    std::vector<int> selected;
    for (int i = 0; i < ItemCount(); ++i) {
        if (ListItemState(i) & STATE_SELECTED) selected.push_back(i);
    }
    return selected;
}

int TGadget::SelectedItem() {
    const std::vector<int> selected = SelectedItems();
    return selected.size() == 1 ? selected.front() : -1;
}

int TGadget::SelectionChanged() {
    std::vector<int> now = SelectedItems();
    const int changed = FirstDifference(arrPrevSelection, now);
    arrPrevSelection = std::move(now);
    return changed;
}

}  // namespace gui
