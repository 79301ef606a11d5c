#pragma once
// The console driver's gadget: one class for every kind, kept in memory like a window
// nobody looks at, except for what the console shows: a label's text put after its
// creation (the status label), the progress bar and the window's status bar.

#include <mutex>
#include <string>

#include "gui/gadget.h"

namespace gui::console {

class TConsoleDisplay;

class TConsoleGadget : public TGadget {
public:
    TConsoleGadget(int kind, int style, TConsoleDisplay& display);

    int Class() const override { return kind_; }
    int State() const override { return state_; }
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void SetEnabled(int enabled) override;
    void SetShow(int show) override;
    void SetSelected(int selected) override;
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    void SetValue(float fraction) override;
    std::string GetStatusText() const override;
    void SetStatusText(const std::string& text) override;
    TGadgetPtr GetMenu() override;

    // The creation texts are no news: only texts put afterwards reach the display.
    void EndCreation() { created_ = true; }

private:
    void SetStateBit(int bit, bool on);

    int kind_;
    int state_ = 0;
    TConsoleDisplay& display_;
    bool created_ = false;
    mutable std::mutex textLock_;  // labels are written from the load worker
    std::string text_;
    std::string statusText_;
    TGadgetPtr menu_;
};

}  // namespace gui::console
