#pragma once
// The in-memory gadget: one class for every kind, keeping what a screen would show.

#include <mutex>
#include <string>
#include <vector>

#include "gui/gadget.h"

namespace gui::headless {

// A menu as the window's menu bar shows it, frozen at the last RebuildMenuBar.
struct TMenuEntry {
    std::string text;
    int tag = 0;
    TGadgetPtr item;
    std::vector<TMenuEntry> kids;
};

// An entry of a list-like gadget as the screen shows it, with its selection state.
struct TListItemView {
    std::string text;
    std::string tip;
    int icon = -1;
    rt::TObjectPtr extra;
    int state = 0;
};

// Frame of a window whose shape is its outer size (no WINDOW_CLIENTCOORDS).
inline constexpr int FRAME_BORDER = 4;
inline constexpr int FRAME_CAPTION = 24;
inline constexpr int FRAME_TOOL_CAPTION = 16;
inline constexpr int FRAME_MENUBAR = 20;
inline constexpr int FRAME_STATUSBAR = 20;

class THeadlessGadget : public TGadget {
public:
    THeadlessGadget(int kind, int style);

    int Class() const override { return kind_; }
    int State() const override;
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void SetEnabled(int enabled) override;
    void SetShow(int show) override;
    void SetSelected(int selected) override;
    int Activate(int command) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetTooltip(const std::string& tip) override { tooltip_ = tip; }
    std::string GetTooltip() const override { return tooltip_; }
    void AddText(const std::string& text) override;
    int AreaLen(int units) const override;
    int GetCursorPos(int units) const override;
    void SetValue(float fraction) override;
    std::string GetStatusText() const override { return statusText_; }
    void SetStatusText(const std::string& text) override;
    TGadgetPtr GetMenu() override;
    void UpdateMenu() override;
    void Free() override;

    // List boxes, combo boxes, tabbers and toolbars keep their entries; other kinds
    // have none.
    void ClearListItems() override;
    void InsertListItem(int index, const std::string& text, const std::string& tip, int icon,
                        rt::TObjectPtr itemExtra) override;
    void SetListItem(int index, const std::string& text, const std::string& tip, int icon,
                     rt::TObjectPtr itemExtra) override;
    void RemoveListItem(int index) override;
    void SetListItemState(int index, int state) override;
    int ListItemState(int index) override;
    void SetIconStrip(const std::shared_ptr<TIconStrip>& strip) override { iconStrip_ = strip; }

    // Read-back for tests.
    int Tag() const { return tag_; }
    int Progress() const { return progress_; }
    const std::vector<TMenuEntry>& MenuBar() const { return menuBar_; }
    bool IsFreed() const { return freed_; }
    const std::vector<TListItemView>& ListItems() const { return listItems_; }
    std::shared_ptr<TIconStrip> IconStrip() const { return iconStrip_; }

    // What the driver does to the native object when input arrives.
    void SetTag(int tag) { tag_ = tag; }
    // A window's client area becomes w x h: the frame is added, the kids are laid out.
    void ResizeClientArea(int w, int h);
    void ToggleCheck();
    // A typed character: replaces the whole text when all of it was selected, else
    // goes in at the end.
    void InsertTyped(const std::string& character, bool replaceAll);
    // Backspace: the selection when all was selected, else the last character.
    void EraseTyped(bool replaceAll);

private:
    int FrameWidth() const;
    bool HasList() const;
    TListItemView* ListItem(int index);
    int FrameHeight() const;

    int kind_;
    int state_ = 0;
    mutable std::mutex textLock_;  // labels are written from the load worker
    std::string text_;
    std::string tooltip_;
    std::string statusText_;
    int progress_ = 0;
    int tag_ = 0;
    TGadgetPtr menu_;
    std::vector<TMenuEntry> menuBar_;
    std::vector<TListItemView> listItems_;
    std::shared_ptr<TIconStrip> iconStrip_;
    bool freed_ = false;
};

}  // namespace gui::headless
