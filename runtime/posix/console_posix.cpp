#include "runtime/console.h"

#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>

#include "runtime/posix/interrupt_wake_posix.h"

namespace rt {
namespace {

// Written by the signal handler, read by the main thread; lock-free atomics are safe in both.
std::atomic<int> interruptsReceived{0};
std::atomic<int> interruptsTaken{0};
std::atomic<int> firstInterrupt{0};
std::atomic<int> wakeDescriptor{-1};

// How long a SIGTERM or SIGHUP may wait for the program to take it.
constexpr unsigned STUCK_SECONDS = 5;

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

// The signal is blocked inside its handler: it is delivered, now fatal, on return.
void EndBy(int signalNumber) {
    SetAction(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void OnInterrupt(int signalNumber) {
    if (interruptsReceived.fetch_add(1) != 0) {
        EndBy(signalNumber);
        return;
    }
    firstInterrupt.store(signalNumber);
    if (signalNumber != SIGINT) alarm(STUCK_SECONDS);
    const int savedErrno = errno;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wakeDescriptor.load(), &one, sizeof one);
    errno = savedErrno;
}

// The first SIGTERM or SIGHUP has not been taken in time: the program is stuck outside its
// polls.
void OnStuck(int) {
    if (interruptsTaken.load() != interruptsReceived.load()) EndBy(firstInterrupt.load());
}

}  // namespace

bool IsTerminal(StandardStream stream) { return isatty(DescriptorOf(stream)) == 1; }

WriteResult WriteStandard(StandardStream stream, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = write(DescriptorOf(stream), text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EPIPE) return {WriteStatus::Closed, std::strerror(errno)};
        if (n <= 0) return {WriteStatus::Failed, std::strerror(n < 0 ? errno : EIO)};
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

int TerminalColumns(StandardStream stream) {
    struct winsize size {};
    if (ioctl(DescriptorOf(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

void CatchInterrupts() {
    if (wakeDescriptor.load() < 0) wakeDescriptor.store(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    SetAction(SIGINT, OnInterrupt);
    SetAction(SIGTERM, OnInterrupt);
    // A closed terminal stops the run the same way, so that the line being printed is
    // noted before the program ends.
    SetAction(SIGHUP, OnInterrupt);
    SetAction(SIGALRM, OnStuck);
}

bool TakeInterrupt() {
    const int received = interruptsReceived.load();
    if (received == interruptsTaken.load()) return false;
    interruptsTaken.store(received);
    return true;
}

int InterruptStatus() {
    const int signalNumber = firstInterrupt.load();
    return signalNumber == 0 ? 0 : 128 + signalNumber;
}

void IgnoreClosedPipes() { SetAction(SIGPIPE, SIG_IGN); }

int posix::InterruptWakeDescriptor() { return wakeDescriptor.load(); }

}  // namespace rt
