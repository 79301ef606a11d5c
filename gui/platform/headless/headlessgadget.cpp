#include "gui/platform/headless/headlessgadget.h"

#include <algorithm>

#include "gui/driversupport.h"
#include "gui/gadgetdriver.h"
#include "gui/platform/headless/headlessdrivers.h"
#include "runtime/text.h"

namespace gui::headless {
namespace {

int Lines(const std::string& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Start of the last UTF-8 character.
std::size_t LastCharacterStart(const std::string& text) {
    std::size_t at = text.size();
    while (at > 0 && (static_cast<unsigned char>(text[--at]) & 0xC0) == 0x80) {
    }
    return at;
}

}  // namespace

THeadlessGadget::THeadlessGadget(int kind, int gadgetStyle) : kind_(kind) {
    style = gadgetStyle;
}

int THeadlessGadget::State() const { return state_; }

void THeadlessGadget::SetText(const std::string& text) {
    if (kind_ == GADGET_MENUITEM) {
        name = text;
        return;
    }
    std::lock_guard<std::mutex> lock(textLock_);
    text_ = text;
}

std::string THeadlessGadget::GetText() const {
    if (kind_ == GADGET_MENUITEM) return name;
    std::lock_guard<std::mutex> lock(textLock_);
    return text_;
}

void THeadlessGadget::SetEnabled(int enabled) {
    state_ = enabled ? (state_ & ~STATE_DISABLED) : (state_ | STATE_DISABLED);
}

void THeadlessGadget::SetShow(int show) {
    state_ = show ? (state_ & ~STATE_HIDDEN) : (state_ | STATE_HIDDEN);
    visible = show ? 1 : 0;
}

void THeadlessGadget::SetSelected(int selected) {
    state_ &= ~(STATE_SELECTED | STATE_INDETERMINATE);
    if (selected == CHECK_INDETERMINATE) {
        state_ |= STATE_SELECTED | STATE_INDETERMINATE;
    } else if (selected) {
        state_ |= STATE_SELECTED;
    }
}

void THeadlessGadget::ToggleCheck() {
    const bool checked = (state_ & STATE_SELECTED) && !(state_ & STATE_INDETERMINATE);
    SetSelected(checked ? 0 : 1);
}

int THeadlessGadget::Activate(int command) {
    if (kind_ != GADGET_WINDOW) return 0;
    const int sizeBits = STATE_MINIMIZED | STATE_MAXIMIZED;
    if (command == ACTIVATE_MINIMIZE) state_ = (state_ & ~sizeBits) | STATE_MINIMIZED;
    if (command == ACTIVATE_MAXIMIZE) state_ = (state_ & ~sizeBits) | STATE_MAXIMIZED;
    if (command == ACTIVATE_RESTORE) state_ &= ~sizeBits;
    return 0;
}

int THeadlessGadget::FrameWidth() const {
    return (style & (WINDOW_TITLEBAR | WINDOW_RESIZABLE)) ? 2 * FRAME_BORDER : 0;
}

int THeadlessGadget::FrameHeight() const {
    int frame = FrameWidth();
    if (style & WINDOW_TITLEBAR) frame += (style & WINDOW_TOOL) ? FRAME_TOOL_CAPTION : FRAME_CAPTION;
    if (style & WINDOW_MENU) frame += FRAME_MENUBAR;
    if (style & WINDOW_STATUS) frame += FRAME_STATUSBAR;
    return frame;
}

int THeadlessGadget::ClientWidth() const {
    if (kind_ == GADGET_WINDOW && !(style & WINDOW_CLIENTCOORDS)) {
        return std::max(width - FrameWidth(), 0);
    }
    return width;
}

int THeadlessGadget::ClientHeight() const {
    if (kind_ == GADGET_WINDOW && !(style & WINDOW_CLIENTCOORDS)) {
        return std::max(height - FrameHeight(), 0);
    }
    return height;
}

void THeadlessGadget::ResizeClientArea(int w, int h) {
    if (style & WINDOW_CLIENTCOORDS) {
        SetArea(xpos, ypos, w, h);
    } else {
        SetArea(xpos, ypos, w + FrameWidth(), h + FrameHeight());
    }
}

void THeadlessGadget::AddText(const std::string& text) {
    if (kind_ != GADGET_TEXTAREA) return;
    std::lock_guard<std::mutex> lock(textLock_);
    text_ += text;
}

int THeadlessGadget::AreaLen(int units) const {
    if (kind_ != GADGET_TEXTAREA) return 0;
    std::lock_guard<std::mutex> lock(textLock_);
    return units == TEXTAREA_LINES ? Lines(text_) : static_cast<int>(rt::Utf16Length(text_));
}

int THeadlessGadget::GetCursorPos(int units) const {
    std::lock_guard<std::mutex> lock(textLock_);
    // The caret is always at the end: every change puts it there.
    if (units == TEXTAREA_LINES) return Lines(text_) - 1;
    return static_cast<int>(rt::Utf16Length(text_));
}

void THeadlessGadget::SetValue(float fraction) {
    if (kind_ == GADGET_PROGBAR) progress_ = ProgressSteps(fraction);
}

void THeadlessGadget::SetStatusText(const std::string& text) {
    if (kind_ == GADGET_WINDOW && (style & WINDOW_STATUS)) statusText_ = text;
}

TGadgetPtr THeadlessGadget::GetMenu() {
    if (kind_ != GADGET_WINDOW) return nullptr;
    if (!menu_) menu_ = CreateRootMenu(shared_from_this());
    return menu_;
}

namespace {

std::vector<TMenuEntry> MenuEntriesBelow(const TGadgetPtr& menu) {
    std::vector<TMenuEntry> entries;
    for (const TGadgetPtr& kid : menu->kids) {
        const auto* item = static_cast<const THeadlessGadget*>(kid.get());
        entries.push_back({kid->GetText(), item->Tag(), kid, MenuEntriesBelow(kid)});
    }
    return entries;
}

}  // namespace

void THeadlessGadget::UpdateMenu() {
    if (kind_ == GADGET_WINDOW && (style & WINDOW_MENU) && menu_) {
        menuBar_ = MenuEntriesBelow(menu_);
    }
}

void THeadlessGadget::Free() {
    freed_ = true;
    listItems_.clear();
    menuBar_.clear();
    menu_.reset();
    if (kind_ == GADGET_WINDOW) {
        static_cast<THeadlessGadgetDriver&>(CurrentGadgetDriver()).ForgetWindow(this);
    }
}

bool THeadlessGadget::HasList() const {
    return kind_ == GADGET_COMBOBOX || kind_ == GADGET_LISTBOX || kind_ == GADGET_TABBER ||
           kind_ == GADGET_TOOLBAR;
}

TListItemView* THeadlessGadget::ListItem(int index) {
    if (index < 0 || index >= static_cast<int>(listItems_.size())) return nullptr;
    return &listItems_[index];
}

void THeadlessGadget::ClearListItems() { listItems_.clear(); }

void THeadlessGadget::InsertListItem(int index, const std::string& text, const std::string& tip,
                                     int icon, rt::TObjectPtr itemExtra) {
    if (!HasList()) return;
    index = std::clamp(index, 0, static_cast<int>(listItems_.size()));
    listItems_.insert(listItems_.begin() + index, {text, tip, icon, std::move(itemExtra), 0});
}

void THeadlessGadget::SetListItem(int index, const std::string& text, const std::string& tip,
                                  int icon, rt::TObjectPtr itemExtra) {
    if (TListItemView* item = ListItem(index)) {
        *item = {text, tip, icon, std::move(itemExtra), item->state};
    }
}

void THeadlessGadget::RemoveListItem(int index) {
    if (ListItem(index)) listItems_.erase(listItems_.begin() + index);
}

void THeadlessGadget::SetListItemState(int index, int state) {
    if (TListItemView* item = ListItem(index)) item->state = state;
}

int THeadlessGadget::ListItemState(int index) {
    const TListItemView* item = ListItem(index);
    return item ? item->state : 0;
}

void THeadlessGadget::InsertTyped(const std::string& character, bool replaceAll) {
    std::lock_guard<std::mutex> lock(textLock_);
    text_ = replaceAll ? character : text_ + character;
}

void THeadlessGadget::EraseTyped(bool replaceAll) {
    std::lock_guard<std::mutex> lock(textLock_);
    text_.erase(replaceAll ? 0 : LastCharacterStart(text_));
}

}  // namespace gui::headless
