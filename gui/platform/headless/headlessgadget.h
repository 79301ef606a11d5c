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

    // Read-back for tests.
    int Tag() const { return tag_; }
    int Progress() const { return progress_; }
    const std::vector<TMenuEntry>& MenuBar() const { return menuBar_; }
    bool IsFreed() const { return freed_; }

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
    int FrameHeight() const;

    int kind_;
    int state_ = 0;
    mutable std::mutex textLock_;  // labels are written from the load worker
    std::string text_;
    std::string tooltip_;
    std::string statusText_;
    int caret_ = 0;
    int progress_ = 0;
    int tag_ = 0;
    TGadgetPtr menu_;
    std::vector<TMenuEntry> menuBar_;
    bool freed_ = false;
};

}  // namespace gui::headless
