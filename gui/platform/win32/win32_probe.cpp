#include "gui/platform/win32/win32_probe.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <chrono>
#include <fstream>
#include <thread>

#include "gui/platform/win32/win32_api.h"
#include "gui/platform/win32/win32_gadget.h"

namespace gui::win32::probe {

namespace {

HWND Native(const TGadgetPtr& gadget) {
    const auto* native = dynamic_cast<const TWinGadget*>(gadget.get());
    return native != nullptr ? native->Hwnd() : nullptr;
}

const TWinWindow* WindowOf(const TGadgetPtr& gadget) { return dynamic_cast<const TWinWindow*>(gadget.get()); }

std::string MenuEntry(HMENU menu, int index) {
    wchar_t text[256] = L"";
    const int length = GetMenuStringW(menu, static_cast<UINT>(index), text, 256, MF_BYPOSITION);
    return Narrow(text, static_cast<std::size_t>(std::max(length, 0)));
}

std::vector<std::string> Entries(HMENU menu) {
    std::vector<std::string> titles;
    if (menu == nullptr) return titles;
    for (int i = 0, count = GetMenuItemCount(menu); i < count; ++i) titles.push_back(MenuEntry(menu, i));
    return titles;
}

INPUT KeyInput(int key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(key);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// A PNG file of 8-bit RGB rows, compressed with stored deflate blocks: no library needed.
class TPngWriter {
public:
    static bool Write(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
        std::vector<std::uint8_t> raw;
        raw.reserve(static_cast<std::size_t>(height) * (width * 3 + 1));
        for (int y = 0; y < height; ++y) {
            raw.push_back(0);  // no filter
            const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3;
            raw.insert(raw.end(), row, row + width * 3);
        }
        std::vector<std::uint8_t> zlib = {0x78, 0x01};
        for (std::size_t at = 0; at < raw.size() || at == 0;) {
            const std::size_t count = std::min<std::size_t>(raw.size() - at, 65535);
            const bool last = at + count >= raw.size();
            zlib.push_back(last ? 1 : 0);
            zlib.push_back(static_cast<std::uint8_t>(count & 0xFF));
            zlib.push_back(static_cast<std::uint8_t>(count >> 8));
            zlib.push_back(static_cast<std::uint8_t>(~count & 0xFF));
            zlib.push_back(static_cast<std::uint8_t>((~count >> 8) & 0xFF));
            zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                        raw.begin() + static_cast<std::ptrdiff_t>(at + count));
            at += count;
            if (last) break;
        }
        std::uint32_t a = 1, b = 0;
        for (std::uint8_t byte : raw) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        Put32(zlib, (b << 16) | a);

        std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::vector<std::uint8_t> header;
        Put32(header, static_cast<std::uint32_t>(width));
        Put32(header, static_cast<std::uint32_t>(height));
        header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
        Chunk(file, "IHDR", header);
        Chunk(file, "IDAT", zlib);
        Chunk(file, "IEND", {});
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        return static_cast<bool>(out);
    }

private:
    static void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    static std::uint32_t Crc(const std::vector<std::uint8_t>& bytes) {
        static const std::array<std::uint32_t, 256> table = [] {
            std::array<std::uint32_t, 256> t{};
            for (std::uint32_t n = 0; n < 256; ++n) {
                std::uint32_t c = n;
                for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                t[n] = c;
            }
            return t;
        }();
        std::uint32_t c = 0xFFFFFFFFu;
        for (std::uint8_t byte : bytes) c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
        return c ^ 0xFFFFFFFFu;
    }

    static void Chunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data) {
        Put32(file, static_cast<std::uint32_t>(data.size()));
        std::vector<std::uint8_t> typed(type, type + 4);
        typed.insert(typed.end(), data.begin(), data.end());
        file.insert(file.end(), typed.begin(), typed.end());
        Put32(file, Crc(typed));
    }
};

}  // namespace

TRect Scaled(int dpi, int x, int y, int w, int h) {
    const auto d = static_cast<UINT>(dpi);
    return TRect{ScaleBy(x, d), ScaleBy(y, d), ScaleBy(w, d), ScaleBy(h, d)};
}

int WindowDpi(const TGadgetPtr& window) {
    const TWinWindow* native = WindowOf(window);
    return native != nullptr ? static_cast<int>(native->Dpi()) : 96;
}

TRect NativeRect(const TGadgetPtr& gadget) {
    HWND hwnd = Native(gadget);
    if (hwnd == nullptr) return {};
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return TRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TRect GadgetArea(const TGadgetPtr& window) {
    const TWinWindow* native = WindowOf(window);
    if (native == nullptr) return {};
    RECT client{};
    GetClientRect(native->Hwnd(), &client);
    int status = 0;
    if (native->StatusBar() != nullptr && (GetWindowLongW(native->StatusBar(), GWL_STYLE) & WS_VISIBLE)) {
        RECT bar{};
        GetWindowRect(native->StatusBar(), &bar);
        status = bar.bottom - bar.top;
    }
    return TRect{0, 0, client.right, client.bottom - status};
}

std::string NativeClass(const TGadgetPtr& gadget) {
    wchar_t name[64] = L"";
    const int length = GetClassNameW(Native(gadget), name, 64);
    std::string text = Narrow(name, static_cast<std::size_t>(std::max(length, 0)));
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return text;
}

std::string NativeText(const TGadgetPtr& gadget) { return WindowText(Native(gadget)); }

std::string StatusBarText(const TGadgetPtr& window) {
    const TWinWindow* native = WindowOf(window);
    if (native == nullptr || native->StatusBar() == nullptr) return {};
    const auto length = LOWORD(SendMessageW(native->StatusBar(), SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(native->StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    return Narrow(text.data(), length);
}

bool IsShown(const TGadgetPtr& gadget) { return IsWindowVisible(Native(gadget)) != 0; }

bool HasFocus(const TGadgetPtr& gadget) { return GetFocus() == Native(gadget) && Native(gadget) != nullptr; }

bool UsesUiFont(const TGadgetPtr& gadget) {
    HWND hwnd = Native(gadget);
    const auto* native = dynamic_cast<const TWinGadget*>(gadget.get());
    const TWinWindow* window = native != nullptr ? native->Window() : nullptr;
    if (hwnd == nullptr || window == nullptr) return false;
    return reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)) == UiFont(window->Dpi());
}

int CheckState(const TGadgetPtr& button) {
    switch (SendMessageW(Native(button), BM_GETCHECK, 0, 0)) {
        case BST_CHECKED:
            return 1;
        case BST_INDETERMINATE:
            return -1;
        default:
            return 0;
    }
}

bool IsThreeState(const TGadgetPtr& button) {
    return (GetWindowLongW(Native(button), GWL_STYLE) & BS_TYPEMASK) == BS_3STATE;
}

bool IsReadOnly(const TGadgetPtr& area) { return (GetWindowLongW(Native(area), GWL_STYLE) & ES_READONLY) != 0; }

bool WrapsWords(const TGadgetPtr& area) {
    return (GetWindowLongW(Native(area), GWL_STYLE) & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0;
}

bool ShowsLastLine(const TGadgetPtr& area) {
    HWND hwnd = Native(area);
    const auto lines = static_cast<int>(SendMessageW(hwnd, EM_GETLINECOUNT, 0, 0));
    const auto first = static_cast<int>(SendMessageW(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    RECT client{};
    GetClientRect(hwnd, &client);
    TEXTMETRICW metrics{};
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    const int visible = std::max(1, static_cast<int>(client.bottom / std::max<LONG>(metrics.tmHeight, 1)));
    return first + visible >= lines;
}

int ProgressPosition(const TGadgetPtr& bar) { return static_cast<int>(SendMessageW(Native(bar), PBM_GETPOS, 0, 0)); }

std::vector<std::string> MenuTitles(const TGadgetPtr& window) { return Entries(GetMenu(Native(window))); }

std::vector<std::string> SubmenuTitles(const TGadgetPtr& window, int index) {
    return Entries(GetSubMenu(GetMenu(Native(window)), index));
}

bool BringToFront(const TGadgetPtr& window) {
    HWND hwnd = Native(window);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    return GetForegroundWindow() == hwnd;
}

void Focus(const TGadgetPtr& gadget) { SetFocus(Native(gadget)); }

void PressKeys(const std::vector<int>& keys, const std::vector<int>& held) {
    std::vector<INPUT> inputs;
    for (int key : held) inputs.push_back(KeyInput(key, false));
    for (int key : keys) {
        inputs.push_back(KeyInput(key, false));
        inputs.push_back(KeyInput(key, true));
    }
    for (auto key = held.rbegin(); key != held.rend(); ++key) inputs.push_back(KeyInput(*key, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Click(const TGadgetPtr& gadget) {
    HWND hwnd = Native(gadget);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void PressCloseBox(const TGadgetPtr& window) { PostMessageW(Native(window), WM_SYSCOMMAND, SC_CLOSE, 0); }

void ResizeFrame(const TGadgetPtr& window, int clientWidth, int clientHeight) {
    HWND hwnd = Native(window);
    const int dpi = WindowDpi(window);
    const TRect area = GadgetArea(window);
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    const int w = frame.right - frame.left + ScaleBy(clientWidth, static_cast<UINT>(dpi)) - area.w;
    const int h = frame.bottom - frame.top + ScaleBy(clientHeight, static_cast<UINT>(dpi)) - area.h;
    SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

struct TDialogAnswer::TState {
    TDialogSeen seen;
    std::thread answerer;
};

namespace {

struct TFound {
    DWORD process;
    HWND dialog = nullptr;
};

// A visible dialog-class window of this process.
BOOL CALLBACK FindDialog(HWND hwnd, LPARAM data) {
    auto* found = reinterpret_cast<TFound*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    wchar_t name[16] = L"";
    GetClassNameW(hwnd, name, 16);
    if (process == found->process && IsWindowVisible(hwnd) && std::wstring(name) == L"#32770") {
        found->dialog = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK NoteText(HWND hwnd, LPARAM data) {
    const std::string text = WindowText(hwnd);
    if (!text.empty()) reinterpret_cast<TDialogSeen*>(data)->texts.push_back(text);
    return TRUE;
}

}  // namespace

TDialogAnswer::TDialogAnswer(TDialogCommand command, std::string fileName, std::string awaitedText)
    : state_(new TState) {
    state_->answerer = std::thread([this, command, fileName, awaitedText] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        TFound found{GetCurrentProcessId()};
        while (found.dialog == nullptr && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&found));
        }
        if (found.dialog == nullptr) return;
        // Let the dialog finish setting itself up (its initial selection, its texts).
        TDialogSeen& seen = state_->seen;
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            seen.texts.clear();
            EnumChildWindows(found.dialog, NoteText, reinterpret_cast<LPARAM>(&seen));
        } while (!awaitedText.empty() && std::chrono::steady_clock::now() < deadline &&
                 std::find(seen.texts.begin(), seen.texts.end(), awaitedText) == seen.texts.end());
        seen.came = true;
        seen.caption = WindowText(found.dialog);
        if (!fileName.empty()) {
            // The file name box: a combo box (cmb13) in the newer dialogs, an edit (edt1)
            // in the older ones.
            HWND box = GetDlgItem(found.dialog, 0x47C);
            if (box == nullptr) box = GetDlgItem(found.dialog, 0x480);
            SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(fileName).c_str()));
        }
        if (command == DIALOG_CLOSE)
            PostMessageW(found.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PostMessageW(found.dialog, WM_COMMAND, command == DIALOG_OK ? IDOK : IDCANCEL, 0);
    });
}

TDialogAnswer::~TDialogAnswer() {
    if (state_->answerer.joinable()) state_->answerer.join();
    delete state_;
}

const TDialogSeen& TDialogAnswer::Seen() {
    if (state_->answerer.joinable()) state_->answerer.join();
    return state_->seen;
}

bool SaveScreenshot(const TGadgetPtr& window, const std::string& path) {
    HWND hwnd = Native(window);
    RECT rect{};
    if (hwnd == nullptr || !GetWindowRect(hwnd, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; copied && i < static_cast<std::size_t>(width) * height; ++i) {
        rgb[i * 3] = pixels[i * 4 + 2];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4];
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copied && TPngWriter::Write(path, width, height, rgb);
}

}  // namespace gui::win32::probe
