#pragma once
// What a program run from a terminal, a script or a timer needs of the platform: whether
// a standard stream is a terminal and how wide it is, and Ctrl+C or SIGTERM as a request
// to stop instead of an end.

#include <string>
#include <string_view>

namespace rt {

enum class StandardStream { Output, Error };

// Closed: the stream is a pipe whose reader has gone.
enum class WriteStatus { Written, Failed, Closed };
struct WriteResult {
    WriteStatus status = WriteStatus::Written;
    std::string reason;  // the system's text of a failure
};

bool IsTerminal(StandardStream stream);
// Writes UTF-8 text to the stream at once; an interrupted write goes on. Redirected, the
// stream gets exactly these bytes on every system; a Windows console is given the text
// as characters.
WriteResult WriteStandard(StandardStream stream, std::string_view text);
// Columns of the terminal the stream writes to; 0 when it is none or the width is unknown.
int TerminalColumns(StandardStream stream);

// From now on an interrupt (Ctrl+C, SIGTERM or SIGHUP) is recorded for TakeInterrupt
// instead of ending the process; any interrupt after the first ends the process at once,
// killed by that signal. So does a SIGTERM or SIGHUP that nobody takes for a few seconds:
// the program is stuck outside its polls, and SIGTERM is how a service manager or
// `timeout` ends it.
void CatchInterrupts();
// True once for every interrupt recorded since the last call.
bool TakeInterrupt();
// The exit status a shell reports for a process ended by the first interrupt recorded
// (130 for Ctrl+C, 143 for SIGTERM, 129 for SIGHUP); 0 when there was none.
int InterruptStatus();

// Writing to a pipe whose reader has gone fails instead of ending the process, so that a
// run whose output nobody reads any more still finishes its log file.
void IgnoreClosedPipes();

}  // namespace rt
