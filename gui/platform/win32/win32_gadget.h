#pragma once
// The Win32 driver's gadgets: each owns one native window (a control, or the top-level
// window with its status bar) and keeps the toolkit's rectangles in logical pixels, which
// the window's DPI scales at the native boundary.

#include "gui/platform/win32/win32_api.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gui/gadget.h"

namespace gui::win32 {

class TWinWindow;

// Text as the wide calls take it, and back; names that are not valid UTF-16 survive.
std::wstring Wide(const std::string& text);
std::string Narrow(const wchar_t* text, std::size_t length);
std::string WindowText(HWND hwnd);
// "\n" as the edit control's "\r\n", and back.
std::wstring WithCrLf(const std::wstring& text);
std::string WithoutCr(const std::string& text);

// Logical pixels (96 per inch) to the window's device pixels, and back.
int ScaleBy(int value, UINT dpi);
int UnscaleBy(int value, UINT dpi);
UINT DpiOf(HWND hwnd);
// The system's UI font (the message font) for a DPI; kept for the life of the process.
HFONT UiFont(UINT dpi);

// First id of the menu commands; controls take ids below it, and ids 1 and 2 (IDOK and
// IDCANCEL) are what dialog navigation sends for Enter and Escape.
inline constexpr UINT kFirstMenuCommand = 0x8000;
// A label's text set on another thread, shown by the window that holds it (lParam: label).
inline constexpr UINT kShowPendingText = WM_APP + 1;

class TWinGadget : public TGadget {
public:
    TWinGadget(int kind, int gadgetStyle);
    ~TWinGadget() override;

    int Class() const override { return kind_; }
    int State() const override;
    void SetEnabled(int enabled) override;
    void SetShow(int show) override;
    void Rethink() override;
    int Activate(int command) override;
    void Free() override;
    void SetTooltip(const std::string& tip) override { tooltip_ = tip; }
    std::string GetTooltip() const override { return tooltip_; }
    int HasFocus() const override;

    HWND Hwnd() const { return hwnd_; }
    // The top-level window this gadget lives in (itself for a window).
    TWinWindow* Window() const;
    // Notifications a control sends its parent through WM_COMMAND.
    virtual void Command(WORD /*notification*/) {}
    // The window's DPI changed: take the new font and place the native window again.
    virtual void DpiChanged();

    // The gadget of a native window made by this driver, or null.
    static TWinGadget* Of(HWND hwnd);
    // Before a key press reaches its control, and before it is translated into characters:
    // hot keys, the key filter and the raw key events. False when the press is taken.
    static bool PassesKeyDown(const MSG& message);

protected:
    // Makes the control as a child of the group's window; false when that fails.
    bool MakeControl(const wchar_t* className, DWORD controlStyle, DWORD extendedStyle,
                     const TGadgetPtr& group);
    // Adopts a native window as this gadget's.
    void Adopt(HWND hwnd);
    // Runs a change made by the program without reporting it as the user's edit.
    template <typename F>
    void Quietly(F change) {
        ++quiet_;
        change();
        --quiet_;
    }
    bool IsQuiet() const { return quiet_ > 0; }
    // Keys of the control pass the key filter and the raw key events.
    void FilterKeys();

private:
    static LRESULT CALLBACK KeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR data);

    int kind_;
    HWND hwnd_ = nullptr;
    std::string tooltip_;
    int quiet_ = 0;
    bool freed_ = false;
};

// Menu items: gadgets of their own that the window's menu bar is rebuilt from.
class TWinMenuItem : public TGadget {
public:
    explicit TWinMenuItem(int tag) : tag_(tag) {}

    int Class() const override { return GADGET_MENUITEM; }
    int State() const override;
    void SetText(const std::string& text) override;
    std::string GetText() const override { return name; }
    void SetEnabled(int enabled) override;
    void SetSelected(int selected) override;

    int Tag() const { return tag_; }
    // Appends this item (with its submenu) to a native menu of the window; commands take
    // ids from nextCommand on and are recorded in commands.
    void AppendTo(HMENU menu, HWND window, UINT& nextCommand,
                  std::vector<std::weak_ptr<TGadget>>& commands);

private:
    void Redraw();

    int tag_;
    bool enabled_ = true;
    bool checked_ = false;
    HMENU menu_ = nullptr;  // the native menu showing this item, and its command there
    UINT command_ = 0;
    HWND owner_ = nullptr;
};

class TWinWindow : public TWinGadget {
public:
    TWinWindow(int gadgetStyle, HWND owner);
    ~TWinWindow() override;

    int ClientWidth() const override;
    int ClientHeight() const override;
    int State() const override;
    void Rethink() override;
    int Activate(int command) override;
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    std::string GetStatusText() const override { return statusText_; }
    void SetStatusText(const std::string& text) override;
    TGadgetPtr GetMenu() override;
    void UpdateMenu() override;
    void SetMinimumSize(int w, int h) override;
    void SetMaximumSize(int w, int h) override;
    void Free() override;

    UINT Dpi() const { return dpi_; }
    HWND StatusBar() const { return statusBar_; }
    // The native menu's command of a menu item, for tests and tools; 0 when not shown.
    UINT CommandOf(const TGadgetPtr& item) const;

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    int StatusHeight() const;  // device pixels
    // The client size the gadgets share (without the status bar), in logical pixels.
    void ClientSize(int& w, int& h) const;
    void Resized();
    void Moved();
    void ApplyDpi(UINT dpi, const RECT* suggested);

    HWND statusBar_ = nullptr;
    UINT dpi_ = 96;
    std::string statusText_;
    TGadgetPtr menu_;
    std::vector<std::weak_ptr<TGadget>> commands_;
    int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
    bool placing_ = false;  // Rethink is moving the native window
};

// Push button, three-state check box, radio button, or a push-like toggle.
class TWinButton : public TWinGadget {
public:
    TWinButton(int gadgetStyle, const TGadgetPtr& group);

    int State() const override;
    void SetText(const std::string& text) override;
    std::string GetText() const override { return text_; }
    void SetSelected(int selected) override;
    void Command(WORD notification) override;

private:
    void ShowCheck();

    std::string text_;
    int check_ = 0;  // 1 checked, 0 unchecked, CHECK_INDETERMINATE
};

// One-line text field; typing is a GadgetAction (data 0), a SetText is not.
class TWinTextField : public TWinGadget {
public:
    TWinTextField(int gadgetStyle, const TGadgetPtr& group);

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void Command(WORD notification) override;
    int Activate(int command) override;
    void SetReadOnly(int readOnly) override;
};

// Multi-line text area, optionally read-only, without word wrap unless asked; appended
// text keeps the view at the end.
class TWinTextArea : public TWinGadget {
public:
    TWinTextArea(int gadgetStyle, const TGadgetPtr& group);

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void AddText(const std::string& text) override;
    int AreaLen(int units) const override;
    int GetCursorPos(int units) const override;
    void Command(WORD notification) override;
    int Activate(int command) override;
};

// The text a label shows, shared with the window that shows it for another thread.
struct TLabelText {
    std::mutex lock;
    std::string text;
};

// Label; its text may be set from another thread, which hands it to the window's thread.
class TWinLabel : public TWinGadget {
public:
    TWinLabel(int gadgetStyle, const TGadgetPtr& group);

    void SetText(const std::string& text) override;
    std::string GetText() const override;
    // On the window's thread: shows the latest text.
    void ShowPendingText();

private:
    TLabelText text_;
    DWORD thread_;
};

// Progress bar of 100 steps.
class TWinProgressBar : public TWinGadget {
public:
    TWinProgressBar(int gadgetStyle, const TGadgetPtr& group);

    void SetValue(float fraction) override;
    int Steps() const { return steps_; }

private:
    int steps_ = 0;
};

// The screen: its shape is the primary monitor, its client area that monitor's work area.
class TWinDesktop : public TGadget {
public:
    TWinDesktop();

    int Class() const override { return GADGET_DESKTOP; }
    int ClientWidth() const override { return workWidth_; }
    int ClientHeight() const override { return workHeight_; }

private:
    int workWidth_ = 0;
    int workHeight_ = 0;
};

// After work was posted from another thread, the next Poll looks at once.
void WakeNextPoll();
// The toolkit's modifier bits from the keyboard's state now.
int CurrentModifiers();
// The main window class; registered once.
const wchar_t* WindowClassName();
// Makes the process aware of each monitor's DPI, once, before the first window.
void BecomeDpiAware();

}  // namespace gui::win32
