#include "gui/platform/win32/win32_system_driver.h"

#include "gui/platform/win32/win32_api.h"
#include <commdlg.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <vector>

#include "gui/platform.h"
#include "gui/platform/win32/win32_gadget.h"
#include "gui/system.h"

namespace gui {

std::shared_ptr<TSystemDriver> CreatePlatformSystemDriver() {
    return std::make_shared<win32::TWinSystemDriver>();
}

}  // namespace gui

namespace gui::win32 {

namespace {

// Enough for any burst of real input; it only keeps a flood from holding Poll.
constexpr int kMaxDispatchesPerPoll = 1000;

std::atomic<bool> wakeRequested{false};

long long Now() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// A loop of logging polls once per entry, tens of thousands of times a second. After a
// poll that found nothing the queue is looked at again only after this long.
long long QuietInterval() {
    static const long long ticks = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart / 1000;  // 1 ms
    }();
    return ticks;
}

bool IsModifierKey(WPARAM key) {
    switch (key) {
        case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
        case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
        case VK_MENU: case VK_LMENU: case VK_RMENU:
        case VK_LWIN: case VK_RWIN:
            return true;
        default:
            return false;
    }
}

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// The window whose dialog navigation handles a message for a control that takes part in
// Tab navigation: the first of its ancestors that is no child; null for other windows.
HWND NavigationWindow(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if (!(style & WS_CHILD) || !(style & WS_TABSTOP)) return nullptr;
    while (hwnd != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
    return hwnd;
}

// Remembers the window that had the keyboard focus and gives it back at the end of a
// requester or message box.
class TSavedFocus {
public:
    TSavedFocus() : focus_(GetFocus()), owner_(GetActiveWindow()) {}
    ~TSavedFocus() {
        if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
    }
    TSavedFocus(const TSavedFocus&) = delete;
    TSavedFocus& operator=(const TSavedFocus&) = delete;
    HWND Owner() const { return owner_; }

private:
    HWND focus_;
    HWND owner_;
};

int MessageBoxOf(const std::string& text, int serious, UINT buttons) {
    TSavedFocus focus;
    const UINT flags = buttons | (serious ? MB_ICONWARNING : MB_ICONINFORMATION) | MB_TOPMOST |
                       MB_SETFOREGROUND | (focus.Owner() == nullptr ? MB_TASKMODAL : 0);
    return MessageBoxW(focus.Owner(), Wide(text).c_str(), Wide(AppTitle()).c_str(), flags);
}

// "Text files", "*.txt;*.log" and the next group, as the common dialogs take them: pairs
// of NUL-ended texts, with one more NUL at the end.
std::wstring NativeFilter(const TFileRequest& request) {
    std::wstring filter;
    for (const TFileFilter& group : request.filters) {
        filter += Wide(group.name);
        filter += L'\0';
        filter += Wide(group.patterns);
        filter += L'\0';
    }
    if (!filter.empty()) filter += L'\0';
    return filter;
}

// The extension a saved name typed without one gets: the preselected group's first one,
// which the dialog replaces by the current group's when the user picks another.
std::wstring DefaultExtension(const TFileRequest& request) {
    if (request.filters.empty()) return {};
    const std::size_t index = request.group >= 1 && request.group <= static_cast<int>(request.filters.size())
                                  ? static_cast<std::size_t>(request.group - 1)
                                  : 0;
    std::string patterns = request.filters[index].patterns;
    patterns = patterns.substr(0, patterns.find(';'));
    if (patterns.rfind("*.", 0) != 0) return {};
    const std::string extension = patterns.substr(2);
    if (extension.empty() || extension.find_first_of("*?") != std::string::npos) return {};
    return Wide(extension);
}

// The folder browser's initial directory, until the selection has been there once.
struct TBrowseStart {
    std::wstring path;
    bool reached = false;
    int retries = 0;
};

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    auto* start = reinterpret_cast<TBrowseStart*>(data);
    switch (message) {
        case BFFM_INITIALIZED:
            if (!start->path.empty())
                SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->path.c_str()));
            break;
        case BFFM_SELCHANGED: {
            // The selected path as the dialog's status text, while the user browses.
            wchar_t path[MAX_PATH] = L"";
            if (!SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), path)) path[0] = L'\0';
            SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
            // A tree still filling itself may select its root after the initial directory
            // was selected; that directory is chosen again, a few times at most.
            if (!start->reached && !start->path.empty()) {
                if (lstrcmpiW(WithoutTrailingSeparator(path).c_str(), WithoutTrailingSeparator(start->path).c_str()) == 0)
                    start->reached = true;
                else if (start->retries++ < 3)
                    PostMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->path.c_str()));
            }
            break;
        }
        default:
            break;
    }
    return 0;
}

}  // namespace

void WakeNextPoll() { wakeRequested.store(true); }

TWinSystemDriver::TWinSystemDriver() {
    BecomeDpiAware();
    // Sleep and timers tick in 1 ms steps for the life of the process.
    timeBeginPeriod(1);
    // The folder browser's resizable style needs OLE on the thread that opens it.
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
}

TWinSystemDriver::~TWinSystemDriver() {
    if (oleStarted_) OleUninitialize();
    timeEndPeriod(1);
}

int TWinSystemDriver::Drain() {
    int dispatched = 0;
    MSG message{};
    while (dispatched < kMaxDispatchesPerPoll && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ++dispatched;
        if (IsKeyMessage(message.message) && IsModifierKey(message.wParam)) modifiers_ = CurrentModifiers();
        if (!TWinGadget::PassesKeyDown(message)) continue;
        if (HWND navigation = NavigationWindow(message.hwnd)) {
            if (IsDialogMessageW(navigation, &message)) continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return dispatched;
}

void TWinSystemDriver::Poll() {
    const long long now = Now();
    if (!wakeRequested.exchange(false) && now - quietSince_ < QuietInterval()) return;
    if (Drain() == 0) quietSince_ = now;
}

void TWinSystemDriver::Wait() {
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    Drain();
    quietSince_ = 0;
}

void TWinSystemDriver::MoveMouse(int x, int y) {
    // Client coordinates of the active window, screen coordinates without one.
    POINT point{x, y};
    if (HWND active = GetActiveWindow()) {
        const UINT dpi = DpiOf(active);
        point = POINT{ScaleBy(x, dpi), ScaleBy(y, dpi)};
        ClientToScreen(active, &point);
    }
    SetCursorPos(point.x, point.y);
}

void TWinSystemDriver::SetMouseVisible(int visible) {
    // ShowCursor counts; the pointer shows while the count is not negative.
    if (visible) {
        while (ShowCursor(TRUE) < 0) {}
    } else {
        while (ShowCursor(FALSE) >= 0) {}
    }
}

void TWinSystemDriver::Notify(const std::string& text, int serious) { MessageBoxOf(text, serious, MB_OK); }

int TWinSystemDriver::Confirm(const std::string& text, int serious) {
    return MessageBoxOf(text, serious, MB_OKCANCEL) == IDOK ? 1 : 0;
}

int TWinSystemDriver::Proceed(const std::string& text, int serious) {
    switch (MessageBoxOf(text, serious, MB_YESNOCANCEL)) {
        case IDYES:
            return 1;
        case IDNO:
            return 0;
        default:
            return -1;  // Cancel, or the box closed
    }
}

std::string TWinSystemDriver::RequestFile(const TFileRequest& request) {
    TSavedFocus focus;
    const std::wstring title = Wide(request.title);
    const std::wstring filter = NativeFilter(request);
    const std::wstring initialDir = Wide(request.initialDir);
    const std::wstring extension = DefaultExtension(request);
    std::vector<wchar_t> file(MAX_PATH, L'\0');
    const std::wstring name = Wide(request.initialName);
    name.copy(file.data(), std::min<std::size_t>(name.size(), file.size() - 1));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = focus.Owner();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(request.group);
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    const bool save = request.save != 0;
    if (save) {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    } else {
        dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    }
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return {};
    return Narrow(file.data(), wcsnlen(file.data(), file.size()));
}

std::string TWinSystemDriver::RequestDir(const std::string& title, const std::string& initialPath) {
    TSavedFocus focus;
    std::string initial = initialPath;
    for (char& c : initial)
        if (c == '/') c = '\\';
    TBrowseStart start{Wide(initial)};
    const std::wstring caption = Wide(title);
    BROWSEINFOW browse{};
    browse.hwndOwner = focus.Owner();
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_STATUSTEXT;
    browse.lpfn = BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(&start);
    LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
    if (chosen == nullptr) return {};
    wchar_t path[MAX_PATH] = L"";
    const bool named = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    return named ? Narrow(path, wcslen(path)) : std::string();
}

int TWinSystemDriver::OpenURL(const std::string& url) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(GetActiveWindow(), L"open", Wide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32 ? 1 : 0;
}

}  // namespace gui::win32
