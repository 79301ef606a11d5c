// Text conversion, DPI and the UI font shared by the driver's gadgets.

#include "gui/platform/win32/win32_api.h"

#include <map>
#include <mutex>

#include "gui/event.h"
#include "gui/platform/win32/win32_gadget.h"
#include "runtime/text.h"

namespace gui::win32 {

namespace {

// The per-monitor calls exist from Windows 10 on; older systems get the system DPI.
template <typename F>
F UserCall(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

std::wstring Wide(const std::string& text) {
    const std::u16string units = rt::Utf8ToWideName(text);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(const wchar_t* text, std::size_t length) {
    return rt::WideNameToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return Narrow(buffer.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

std::wstring WithCrLf(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
        out += text[i];
    }
    return out;
}

std::string WithoutCr(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

int ScaleBy(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), 96); }
int UnscaleBy(int value, UINT dpi) { return MulDiv(value, 96, static_cast<int>(dpi)); }

UINT DpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto forWindow = UserCall<GetDpiForWindowFn>("GetDpiForWindow");
    if (forWindow != nullptr && hwnd != nullptr) {
        const UINT dpi = forWindow(hwnd);
        if (dpi > 0) return dpi;
    }
    static const UINT system = SystemDpi();
    return system;
}

HFONT UiFont(UINT dpi) {
    static std::mutex lock;
    static std::map<UINT, HFONT> fonts;
    const std::lock_guard<std::mutex> guard(lock);
    if (const auto found = fonts.find(dpi); found != fonts.end()) return found->second;
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = UserCall<ForDpiFn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    bool known = forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    if (!known) {
        known = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        // Those metrics are for the system DPI.
        if (known) metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
    }
    HFONT font = known ? CreateFontIndirectW(&metrics.lfMessageFont) : nullptr;
    if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts[dpi] = font;
    return font;
}

int CurrentModifiers() {
    int mods = 0;
    if (GetKeyState(VK_SHIFT) < 0) mods |= MODIFIER_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) mods |= MODIFIER_CONTROL;
    if (GetKeyState(VK_MENU) < 0) mods |= MODIFIER_ALT;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) mods |= MODIFIER_SYSTEM;
    return mods;
}

void BecomeDpiAware() {
    static bool done = false;
    if (done) return;
    done = true;
    using ContextFn = BOOL(WINAPI*)(HANDLE);
    if (const auto perMonitor = UserCall<ContextFn>("SetProcessDpiAwarenessContext")) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, then the first version of it.
        if (perMonitor(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
        if (perMonitor(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)))) return;
    }
    using AwareFn = BOOL(WINAPI*)();
    if (const auto systemAware = UserCall<AwareFn>("SetProcessDPIAware")) systemAware();
}

}  // namespace gui::win32
