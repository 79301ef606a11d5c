#pragma once
// What a program run from a terminal, a script or a timer needs of the platform: whether
// a standard stream is a terminal and how wide it is, and Ctrl+C or SIGTERM as a request
// to stop instead of an end.

#include <string_view>

namespace rt {

enum class StandardStream { Output, Error };

bool IsTerminal(StandardStream stream);
// Writes UTF-8 text to the stream at once. Redirected, the stream gets exactly these bytes
// on every system; a Windows console is given the text as characters.
void WriteStandard(StandardStream stream, std::string_view text);
// Columns of the terminal the stream writes to; 0 when it is none or the width is unknown.
int TerminalColumns(StandardStream stream);

// From now on an interrupt (Ctrl+C or SIGTERM) is recorded for TakeInterrupt instead of
// ending the process; any interrupt after the first ends the process at once, killed by
// that signal.
void CatchInterrupts();
// True once for every interrupt recorded since the last call.
bool TakeInterrupt();

// Writing to a pipe whose reader has gone fails instead of ending the process, so that a
// run whose output nobody reads any more still finishes its log file.
void IgnoreClosedPipes();

}  // namespace rt
