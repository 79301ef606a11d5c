#pragma once
// The gadget kinds the driver makes inside a window's client area, and the desktop.

#include <memory>
#include <mutex>
#include <string>

#include "gui/platform/gtk/gtk_gadget.h"

namespace gui::gtk {

// Push button, check box (three-state capable), radio button, or a push-like toggle.
class TGtkButton : public TGtkGadget {
public:
    explicit TGtkButton(int gadgetStyle);

    int State() const override;
    void SetText(const std::string& text) override;
    std::string GetText() const override { return text_; }
    void SetSelected(int selected) override;

    // Signal handlers.
    void Clicked();
    void Toggled();

private:
    bool Toggles() const;
    void ShowCheck();

    std::string text_;
    int check_ = 0;  // 1 checked, 0 unchecked, CHECK_INDETERMINATE
};

// One-line text field; reports typing as GadgetAction (data 0), never a SetText.
class TGtkTextField : public TGtkGadget {
public:
    explicit TGtkTextField(int gadgetStyle);

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    int Activate(int command) override;
    void Rethink() override;
    void SetReadOnly(int readOnly) override;

    // Signal handler: a field the user is not in shows the beginning of its text.
    void ShowBeginning();

private:
    // The whole text as a tooltip when the field is too narrow to show it.
    void UpdateTooltip();
};

// Multi-line text area, optionally read-only and word-wrapped, in its own scroller.
class TGtkTextArea : public TGtkGadget {
public:
    explicit TGtkTextArea(int gadgetStyle);

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void AddText(const std::string& text) override;
    int AreaLen(int units) const override;
    int GetCursorPos(int units) const override;
    int Activate(int command) override;

    // Signal handlers of the vertical scroll position.
    void ScrollRangeChanged();
    void ScrollMoved();

private:
    GtkTextBuffer* Buffer() const;
    GtkAdjustment* Vertical() const;
    void ScrollToEnd();

    // Appended text keeps the view at the end while GTK lays out the new lines, which
    // can take several passes; scrolling away from the end stops that.
    bool followEnd_ = false;
};

// The text a label shows, shared with the main-loop callbacks that bring it on screen.
struct TLabelText {
    std::mutex lock;
    std::string text;
};

// Label; its text may be set from another thread, which hands it to the main loop.
class TGtkLabel : public TGtkGadget {
public:
    explicit TGtkLabel(int gadgetStyle);

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void SetAnnounced(int announced) override;

    // Signal handler: places the text for the new allocation.
    void Allocated(int allocatedHeight, int textHeight);

private:
    std::shared_ptr<TLabelText> text_ = std::make_shared<TLabelText>();
};

// Progress bar of 100 steps.
class TGtkProgressBar : public TGtkGadget {
public:
    explicit TGtkProgressBar(int gadgetStyle);

    void SetValue(float fraction) override;
    int Steps() const { return steps_; }

private:
    int steps_ = 0;
};

// The screen: its shape is the monitor, its client area the monitor's work area.
class TGtkDesktop : public TGadget {
public:
    TGtkDesktop();

    int Class() const override { return GADGET_DESKTOP; }
    int ClientWidth() const override { return workWidth_; }
    int ClientHeight() const override { return workHeight_; }

private:
    int workWidth_ = 0;
    int workHeight_ = 0;
};

}  // namespace gui::gtk
