#include "runtime/console.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "runtime/text.h"
#include "runtime/win32/interrupt_wake_win32.h"

namespace rt {
namespace {

std::atomic<int> interruptsReceived{0};
std::atomic<int> interruptsTaken{0};
std::atomic<HANDLE> wakeEvent{nullptr};

HANDLE HandleOf(StandardStream stream) {
    return GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// Runs on a thread of its own. Returning FALSE for a later interrupt hands it to the
// system's handler, which ends the process as Ctrl+C does.
BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    if (interruptsReceived.fetch_add(1) != 0) return FALSE;
    if (const HANDLE wake = wakeEvent.load()) SetEvent(wake);
    return TRUE;
}

// The system's text for the last error, without its line end.
WriteResult Failure() {
    const DWORD error = GetLastError();
    const WriteStatus status = error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA
                                   ? WriteStatus::Closed
                                   : WriteStatus::Failed;
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return {status, reason};
}

WriteResult WriteBytes(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(handle, bytes.data(), chunk, &n, nullptr) || n == 0) return Failure();
        bytes.remove_prefix(n);
    }
    return {};
}

WriteResult WriteCharacters(HANDLE handle, std::string_view text) {
    const std::u16string units = Utf8ToWideName(text);
    const auto* data = reinterpret_cast<const wchar_t*>(units.data());
    for (std::size_t done = 0; done < units.size();) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(units.size() - done, 8192));
        if (!WriteConsoleW(handle, data + done, chunk, &n, nullptr) || n == 0) return Failure();
        done += n;
    }
    return {};
}

}  // namespace

bool IsTerminal(StandardStream stream) { return IsConsole(HandleOf(stream)); }

// The console would show UTF-8 bytes in its code page; redirected output must be the
// bytes a Linux run writes, without the C library's line-end translation.
// A process started without the stream takes the text as written.
WriteResult WriteStandard(StandardStream stream, std::string_view text) {
    const HANDLE handle = HandleOf(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return {};
    return IsConsole(handle) ? WriteCharacters(handle, text) : WriteBytes(handle, text);
}

int TerminalColumns(StandardStream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(HandleOf(stream), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void CatchInterrupts() {
    if (!wakeEvent.load()) wakeEvent.store(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    SetConsoleCtrlHandler(OnControl, TRUE);
}

bool TakeInterrupt() {
    const int received = interruptsReceived.load();
    if (received == interruptsTaken.load()) return false;
    interruptsTaken.store(received);
    return true;
}

// Windows ends a process on Ctrl+C with STATUS_CONTROL_C_EXIT; both events count as that.
int InterruptStatus() { return interruptsReceived.load() == 0 ? 0 : static_cast<int>(0xC000013A); }

// A write to a pipe whose reader has gone fails on Windows; no signal ends the process.
void IgnoreClosedPipes() {}

HANDLE win32::InterruptWakeEvent() { return wakeEvent.load(); }

}  // namespace rt
