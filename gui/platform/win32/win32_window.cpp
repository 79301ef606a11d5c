#include "gui/platform/win32/win32_api.h"

#include <algorithm>

#include "gui/driversupport.h"
#include "gui/event.h"
#include "gui/platform/win32/win32_gadget.h"

namespace gui::win32 {

namespace {

constexpr const wchar_t* kWindowClass = L"TervalaWindow";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<TWinWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Only a window whose gadget still holds it answers for it.
    if (window != nullptr && TWinGadget::Of(hwnd) == window) return window->Handle(message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD NativeStyle(int gadgetStyle) {
    DWORD native = WS_CLIPCHILDREN;
    if (gadgetStyle & WINDOW_TITLEBAR)
        native |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    else
        native |= WS_POPUP | WS_BORDER;
    if (gadgetStyle & WINDOW_RESIZABLE) native |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    return native;
}

// Tab, Enter and Escape move between the window's controls as in a dialog.
DWORD NativeExtendedStyle(int gadgetStyle) {
    DWORD native = WS_EX_CONTROLPARENT;
    if (gadgetStyle & WINDOW_TOOL) native |= WS_EX_TOOLWINDOW;
    if (gadgetStyle & WINDOW_ACCEPTFILES) native |= WS_EX_ACCEPTFILES;
    return native;
}

// The frame around a client area of this size, for the window's DPI.
SIZE FrameFor(HWND hwnd, int clientWidth, int clientHeight, UINT dpi) {
    RECT rect{0, 0, clientWidth, clientHeight};
    const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    const DWORD extended = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
    const BOOL hasMenu = GetMenu(hwnd) != nullptr;
    using ForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto forDpi = reinterpret_cast<ForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (forDpi == nullptr || !forDpi(&rect, style, hasMenu, extended, dpi))
        AdjustWindowRectEx(&rect, style, hasMenu, extended);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

const wchar_t* WindowClassName() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        if (windowClass.hIcon == nullptr) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered ? kWindowClass : nullptr;
}

TWinWindow::TWinWindow(int gadgetStyle, HWND owner) : TWinGadget(GADGET_WINDOW, gadgetStyle) {
    BecomeDpiAware();
    HWND hwnd = CreateWindowExW(NativeExtendedStyle(style), WindowClassName(), L"", NativeStyle(style),
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) return;
    Adopt(hwnd);
    dpi_ = DpiOf(hwnd);
    if (style & WINDOW_STATUS) {
        statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"",
                                     WS_CHILD | WS_VISIBLE | ((style & WINDOW_RESIZABLE) ? SBARS_SIZEGRIP : 0),
                                     0, 0, 0, 0, hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (statusBar_ != nullptr) {
            SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont(dpi_)), FALSE);
            SendMessageW(statusBar_, WM_SIZE, 0, 0);  // takes its height from the font
        }
    }
}

TWinWindow::~TWinWindow() = default;

void TWinWindow::Free() {
    HMENU menu = Hwnd() != nullptr ? ::GetMenu(Hwnd()) : nullptr;
    TWinGadget::Free();
    if (menu != nullptr) DestroyMenu(menu);
}

int TWinWindow::StatusHeight() const {
    // Its own visibility: IsWindowVisible would say no while the window is still hidden.
    if (statusBar_ == nullptr || !(GetWindowLongW(statusBar_, GWL_STYLE) & WS_VISIBLE)) return 0;
    RECT rect{};
    GetWindowRect(statusBar_, &rect);
    return rect.bottom - rect.top;
}

void TWinWindow::ClientSize(int& w, int& h) const {
    RECT rect{};
    GetClientRect(Hwnd(), &rect);
    w = UnscaleBy(rect.right - rect.left, dpi_);
    h = UnscaleBy(std::max<int>(rect.bottom - rect.top - StatusHeight(), 0), dpi_);
}

int TWinWindow::ClientWidth() const {
    if ((style & WINDOW_CLIENTCOORDS) || Hwnd() == nullptr) return width;
    int w = 0, h = 0;
    ClientSize(w, h);
    return w;
}

int TWinWindow::ClientHeight() const {
    if ((style & WINDOW_CLIENTCOORDS) || Hwnd() == nullptr) return height;
    int w = 0, h = 0;
    ClientSize(w, h);
    return h;
}

int TWinWindow::State() const {
    int state = TWinGadget::State();
    if (Hwnd() != nullptr && IsIconic(Hwnd())) state |= STATE_MINIMIZED;
    if (Hwnd() != nullptr && IsZoomed(Hwnd())) state |= STATE_MAXIMIZED;
    return state;
}

void TWinWindow::Rethink() {
    if (Hwnd() == nullptr) return;
    int outerWidth = ScaleBy(width, dpi_);
    int outerHeight = ScaleBy(height, dpi_);
    if (style & WINDOW_CLIENTCOORDS) {
        const SIZE frame = FrameFor(Hwnd(), outerWidth, outerHeight + StatusHeight(), dpi_);
        outerWidth = frame.cx;
        outerHeight = frame.cy;
    }
    placing_ = true;
    SetWindowPos(Hwnd(), nullptr, ScaleBy(xpos, dpi_), ScaleBy(ypos, dpi_), std::max(outerWidth, 1),
                 std::max(outerHeight, 1), SWP_NOZORDER | SWP_NOACTIVATE);
    placing_ = false;
}

void TWinWindow::Resized() {
    if (statusBar_ != nullptr) SendMessageW(statusBar_, WM_SIZE, 0, 0);
    // The toolkit's own changes: its shape is already what it asked for.
    if (placing_) return;
    int w = 0, h = 0;
    if (style & WINDOW_CLIENTCOORDS) {
        ClientSize(w, h);
    } else {
        RECT frame{};
        GetWindowRect(Hwnd(), &frame);
        w = UnscaleBy(frame.right - frame.left, dpi_);
        h = UnscaleBy(frame.bottom - frame.top, dpi_);
    }
    if (w == width && h == height) return;
    SetRect(xpos, ypos, w, h);
    LayoutKids();
    // The toolkit asked for this size itself; only the user's resizing is news.
    RaiseGadgetEvent(WindowSize, shared_from_this(), 0, 0, width, height);
}

void TWinWindow::Moved() {
    RECT frame{};
    GetWindowRect(Hwnd(), &frame);
    const int x = UnscaleBy(frame.left, dpi_);
    const int y = UnscaleBy(frame.top, dpi_);
    if (x == xpos && y == ypos) return;
    SetRect(x, y, width, height);
    if (!placing_) RaiseGadgetEvent(WindowMove, shared_from_this(), 0, 0, x, y);
}

void TWinWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi;
    if (statusBar_ != nullptr) {
        SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont(dpi_)), TRUE);
        SendMessageW(statusBar_, WM_SIZE, 0, 0);
    }
    for (const TGadgetPtr& kid : std::vector<TGadgetPtr>(kids)) {
        if (auto* control = dynamic_cast<TWinGadget*>(kid.get())) control->DpiChanged();
    }
    // The logical shape stays; the frame takes the new DPI's size of it.
    if (suggested != nullptr) {
        placing_ = true;
        SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        placing_ = false;
    }
    Rethink();
    LayoutKids();
}

int TWinWindow::Activate(int command) {
    if (Hwnd() == nullptr) return 0;
    switch (command) {
        case ACTIVATE_FOCUS:
            SetForegroundWindow(Hwnd());
            SetActiveWindow(Hwnd());
            return 1;
        case ACTIVATE_MINIMIZE:
            ShowWindow(Hwnd(), SW_MINIMIZE);
            return 1;
        case ACTIVATE_MAXIMIZE:
            ShowWindow(Hwnd(), SW_MAXIMIZE);
            return 1;
        case ACTIVATE_RESTORE:
            ShowWindow(Hwnd(), SW_RESTORE);
            return 1;
        case ACTIVATE_ATTENTION: {
            // The taskbar button flashes until the window comes to the foreground.
            FLASHWINFO flash{static_cast<UINT>(sizeof(FLASHWINFO)), Hwnd(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
            FlashWindowEx(&flash);
            return 1;
        }
        default:
            return TWinGadget::Activate(command);
    }
}

void TWinWindow::SetText(const std::string& text) {
    if (Hwnd() != nullptr) SetWindowTextW(Hwnd(), Wide(text).c_str());
}

std::string TWinWindow::GetText() const { return Hwnd() != nullptr ? WindowText(Hwnd()) : std::string(); }

void TWinWindow::SetStatusText(const std::string& text) {
    if (!(style & WINDOW_STATUS) || statusBar_ == nullptr || text == statusText_) return;
    statusText_ = text;
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

TGadgetPtr TWinWindow::GetMenu() {
    if (!menu_) menu_ = CreateRootMenu(shared_from_this());
    return menu_;
}

void TWinWindow::UpdateMenu() {
    if (!(style & WINDOW_MENU) || Hwnd() == nullptr) return;
    commands_.clear();
    HMENU bar = nullptr;
    if (menu_ && !menu_->kids.empty()) {
        bar = CreateMenu();
        UINT next = kFirstMenuCommand;
        for (const TGadgetPtr& kid : menu_->kids) {
            if (auto* item = dynamic_cast<TWinMenuItem*>(kid.get())) item->AppendTo(bar, Hwnd(), next, commands_);
        }
    }
    HMENU old = ::GetMenu(Hwnd());
    placing_ = true;
    SetMenu(Hwnd(), bar);
    placing_ = false;
    if (old != nullptr) DestroyMenu(old);
    DrawMenuBar(Hwnd());
    // A window shaped by its client area keeps that size when the menu bar comes or goes;
    // otherwise the frame stays and the gadgets follow the client area.
    if (style & WINDOW_CLIENTCOORDS)
        Rethink();
    else
        LayoutKids();
}

UINT TWinWindow::CommandOf(const TGadgetPtr& item) const {
    for (std::size_t i = 0; i < commands_.size(); ++i) {
        if (commands_[i].lock() == item) return kFirstMenuCommand + static_cast<UINT>(i);
    }
    return 0;
}

void TWinWindow::SetMinimumSize(int w, int h) {
    minWidth_ = w;
    minHeight_ = h;
}

void TWinWindow::SetMaximumSize(int w, int h) {
    maxWidth_ = w;
    maxHeight_ = h;
}

LRESULT TWinWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = Hwnd();
    switch (message) {
        case WM_COMMAND: {
            if (lParam != 0) {
                if (TWinGadget* control = Of(reinterpret_cast<HWND>(lParam)))
                    control->Command(HIWORD(wParam));
                return 0;
            }
            const UINT command = LOWORD(wParam);
            // Enter in dialog navigation without an OK button: a focused push button is
            // the default one.
            if (command == IDOK) {
                HWND focus = GetFocus();
                TWinGadget* control = IsChild(hwnd, focus) ? Of(focus) : nullptr;
                const LONG kind = GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
                if (control != nullptr && control->Class() == GADGET_BUTTON &&
                    (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON))
                    control->Command(BN_CLICKED);
                return 0;
            }
            if (command >= kFirstMenuCommand && command - kFirstMenuCommand < commands_.size()) {
                const TGadgetPtr item = commands_[command - kFirstMenuCommand].lock();
                if (const auto* menuItem = dynamic_cast<const TWinMenuItem*>(item.get()))
                    RaiseGadgetEvent(MenuAction, item, menuItem->Tag());
            }
            return 0;
        }
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) Resized();
            return 0;
        case WM_MOVE:
            Moved();
            return 0;
        case WM_CLOSE:
            // The close box only asks; the application decides whether the window goes.
            RaiseGadgetEvent(WindowClose, shared_from_this());
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            const int chrome = StatusHeight();
            auto frame = [&](int w, int h) {
                return (style & WINDOW_CLIENTCOORDS) ? FrameFor(hwnd, ScaleBy(w, dpi_), ScaleBy(h, dpi_) + chrome, dpi_)
                                                     : SIZE{ScaleBy(w, dpi_), ScaleBy(h, dpi_)};
            };
            if (minWidth_ > 0 || minHeight_ > 0) {
                const SIZE minimum = frame(minWidth_, minHeight_);
                info->ptMinTrackSize = POINT{minimum.cx, minimum.cy};
            }
            if (maxWidth_ > 0 || maxHeight_ > 0) {
                const SIZE maximum = frame(maxWidth_ > 0 ? maxWidth_ : 0x7FFF, maxHeight_ > 0 ? maxHeight_ : 0x7FFF);
                info->ptMaxTrackSize = POINT{maximum.cx, maximum.cy};
            }
            return 0;
        }
        case 0x02E0:  // WM_DPICHANGED: the new DPI and the rectangle the system suggests
            ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case kShowPendingText:
            if (auto* label = dynamic_cast<TWinLabel*>(Of(reinterpret_cast<HWND>(lParam))))
                label->ShowPendingText();
            return 0;
        case WM_ACTIVATEAPP:
            // Another process's window lost or gained the activation to this one; a
            // minimised window coming back says nothing.
            if (wParam == FALSE)
                EmitNewEvent(AppSuspend);
            else if (!IsIconic(hwnd))
                EmitNewEvent(AppResume);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace gui::win32
