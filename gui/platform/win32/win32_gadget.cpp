#include "gui/platform/win32/win32_api.h"

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/hotkey.h"
#include "gui/platform/win32/win32_gadget.h"

namespace gui::win32 {

namespace {

constexpr const wchar_t* kGadgetProp = L"TervalaGadget";
constexpr UINT_PTR kKeySubclass = 1;

// Control ids count up from here, below the menu commands and clear of IDOK and IDCANCEL.
UINT NextControlId() {
    static UINT next = 100;
    if (next >= kFirstMenuCommand) next = 100;
    return next++;
}

// Tab moves the focus before any control sees the key, so a filter never keeps the user
// from leaving a field.
bool IsFocusKey(WPARAM key) { return key == VK_TAB; }

}  // namespace

TWinGadget::TWinGadget(int kind, int gadgetStyle) : kind_(kind) { style = gadgetStyle; }

// A gadget dropped without being freed leaves its native window; nothing there may lead
// back to it any more.
TWinGadget::~TWinGadget() {
    if (hwnd_ != nullptr && !freed_ && IsWindow(hwnd_)) ::RemovePropW(hwnd_, kGadgetProp);
}

void TWinGadget::Adopt(HWND hwnd) {
    hwnd_ = hwnd;
    ::SetPropW(hwnd_, kGadgetProp, static_cast<HANDLE>(this));
}

TWinGadget* TWinGadget::Of(HWND hwnd) {
    return hwnd != nullptr ? static_cast<TWinGadget*>(::GetPropW(hwnd, kGadgetProp)) : nullptr;
}

TWinWindow* TWinGadget::Window() const {
    for (HWND hwnd = hwnd_; hwnd != nullptr; hwnd = GetParent(hwnd)) {
        if (!(GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD))
            return dynamic_cast<TWinWindow*>(Of(hwnd));
    }
    return nullptr;
}

bool TWinGadget::MakeControl(const wchar_t* className, DWORD controlStyle, DWORD extendedStyle,
                             const TGadgetPtr& group) {
    const auto* holder = dynamic_cast<const TWinGadget*>(group.get());
    if (holder == nullptr || holder->Hwnd() == nullptr) return false;
    // Hidden until the creation contract shows it, at its place.
    HWND hwnd = CreateWindowExW(extendedStyle, className, L"", WS_CHILD | controlStyle, 0, 0, 0, 0,
                                holder->Hwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextControlId())),
                                GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) return false;
    Adopt(hwnd);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont(DpiOf(holder->Hwnd()))), FALSE);
    FilterKeys();
    return true;
}

void TWinGadget::FilterKeys() { SetWindowSubclass(hwnd_, KeyProc, kKeySubclass, 0); }

// Keys on their way to a control: hot keys first, then the gadget's key filter, which
// may swallow them, then the raw key events the gadget asked for.
LRESULT CALLBACK TWinGadget::KeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR) {
    TWinGadget* self = Of(hwnd);
    if (self == nullptr) return DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, KeyProc, kKeySubclass);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    // Other messages may come while the gadget is still being made, before anybody owns it.
    const bool isKey = message == WM_KEYUP || message == WM_SYSKEYUP || message == WM_CHAR;
    if (!isKey) return DefSubclassProc(hwnd, message, wParam, lParam);
    const TGadgetPtr gadget = self->shared_from_this();
    const bool reports = (gadget->sensitivity & SENSITIZE_KEYS) && IsWindowEnabled(hwnd);
    switch (message) {
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (reports) RaiseGadgetEvent(KeyUp, gadget, static_cast<int>(wParam), CurrentModifiers());
            break;
        case WM_CHAR: {
            const auto unit = static_cast<char16_t>(wParam);
            if (unit == u'\t') break;
            // A character above U+FFFF comes as two messages; the filter sees it whole.
            static char16_t highSurrogate = 0;
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                highSurrogate = unit;
                return 0;
            }
            int character = unit;
            if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate != 0)
                character = 0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
            const char16_t high = character > 0xFFFF ? highSurrogate : 0;
            highSurrogate = 0;
            const int mods = CurrentModifiers();
            if (!KeyFilterPasses(gadget, KeyChar, character, mods)) return 0;
            if (reports) RaiseGadgetEvent(KeyChar, gadget, character, mods);
            if (high != 0) DefSubclassProc(hwnd, message, high, lParam);
            break;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// A refused press is never translated, so it types no character either.
bool TWinGadget::PassesKeyDown(const MSG& message) {
    TWinGadget* self = Of(message.hwnd);
    if (self == nullptr || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)) return true;
    const TGadgetPtr gadget = self->shared_from_this();
    const int code = static_cast<int>(message.wParam);
    const int mods = CurrentModifiers();
    if (EmitHotKey(code, mods, gadget)) return false;
    if (!IsFocusKey(message.wParam) && !KeyFilterPasses(gadget, KeyDown, code, mods)) return false;
    if ((gadget->sensitivity & SENSITIZE_KEYS) && IsWindowEnabled(message.hwnd))
        RaiseGadgetEvent((message.lParam & (1 << 30)) ? KeyRepeat : KeyDown, gadget, code, mods);
    return true;
}

int TWinGadget::State() const {
    if (hwnd_ == nullptr || freed_) return 0;
    int state = 0;
    if (!IsWindowEnabled(hwnd_)) state |= STATE_DISABLED;
    if (!(GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE)) state |= STATE_HIDDEN;
    return state;
}

void TWinGadget::SetEnabled(int enabled) {
    if (hwnd_ == nullptr || freed_) return;
    // A control that had the focus gives it to the next one rather than to nobody.
    if (!enabled && GetFocus() == hwnd_) {
        if (TWinWindow* window = Window()) {
            HWND next = GetNextDlgTabItem(window->Hwnd(), hwnd_, FALSE);
            SetFocus(next != nullptr && next != hwnd_ ? next : window->Hwnd());
        }
    }
    EnableWindow(hwnd_, enabled != 0);
}

void TWinGadget::SetShow(int show) {
    if (hwnd_ != nullptr && !freed_) ShowWindow(hwnd_, show ? SW_SHOWNA : SW_HIDE);
}

void TWinGadget::Rethink() {
    if (hwnd_ == nullptr || freed_) return;
    TWinWindow* window = Window();
    const UINT dpi = window != nullptr ? window->Dpi() : DpiOf(hwnd_);
    SetWindowPos(hwnd_, nullptr, ScaleBy(xpos, dpi), ScaleBy(ypos, dpi), ScaleBy(width, dpi),
                 ScaleBy(height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinGadget::DpiChanged() {
    if (hwnd_ == nullptr || freed_) return;
    TWinWindow* window = Window();
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont(window != nullptr ? window->Dpi() : 96)), TRUE);
    Rethink();
}

int TWinGadget::HasFocus() const { return hwnd_ != nullptr && GetFocus() == hwnd_ ? 1 : 0; }

int TWinGadget::Activate(int command) {
    if (hwnd_ == nullptr || freed_) return 0;
    switch (command) {
        case ACTIVATE_FOCUS:
            SetFocus(hwnd_);
            return 1;
        case ACTIVATE_FORWARD:
        case ACTIVATE_BACK: {
            TWinWindow* window = Window();
            if (window == nullptr) return 0;
            HWND next = GetNextDlgTabItem(window->Hwnd(), GetFocus(), command == ACTIVATE_BACK);
            if (next == nullptr) return 0;
            SetFocus(next);
            return 1;
        }
        case ACTIVATE_REDRAW:
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 1;
        default:
            return 0;
    }
}

void TWinGadget::Free() {
    if (freed_) return;
    freed_ = true;
    if (hwnd_ == nullptr) return;
    ::RemovePropW(hwnd_, kGadgetProp);
    DestroyWindow(hwnd_);
}

}  // namespace gui::win32
