#include "runtime/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace rt {
namespace {

// Written by the signal handler, read by the main thread; lock-free atomics are safe in both.
std::atomic<int> interruptsReceived{0};
std::atomic<int> interruptsTaken{0};

int DescriptorOf(StandardStream stream) {
    return stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO;
}

void SetAction(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Reads and writes under way go on after the handler instead of failing with EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

void OnInterrupt(int signalNumber) {
    if (interruptsReceived.fetch_add(1) == 0) return;
    // The signal is blocked inside its handler: it is delivered, now fatal, on return.
    SetAction(signalNumber, SIG_DFL);
    raise(signalNumber);
}

}  // namespace

bool IsTerminal(StandardStream stream) { return isatty(DescriptorOf(stream)) == 1; }

void WriteStandard(StandardStream stream, std::string_view text) {
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

int TerminalColumns(StandardStream stream) {
    struct winsize size {};
    if (ioctl(DescriptorOf(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

void CatchInterrupts() {
    SetAction(SIGINT, OnInterrupt);
    SetAction(SIGTERM, OnInterrupt);
}

bool TakeInterrupt() {
    const int received = interruptsReceived.load();
    if (received == interruptsTaken.load()) return false;
    interruptsTaken.store(received);
    return true;
}

void IgnoreClosedPipes() { SetAction(SIGPIPE, SIG_IGN); }

}  // namespace rt
