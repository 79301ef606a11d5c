#pragma once
// A scenario script read into commands: each with its line number, its arguments (already
// expanded) and, for the block commands, the lines up to `end`.

#include <string>
#include <string_view>
#include <vector>

#include "tools/scenario/script_text.h"

namespace scenario {

enum class TCommandKind {
    FileSystem,   // done by the runner at once
    User,         // produces input for the application
    Expectation,  // checked at once
    Trigger,      // `when`: arms a user or file-system command for a later poll
    Setting,      // `timeout`
};

struct TCommand {
    int line = 0;
    TCommandKind kind = TCommandKind::Setting;
    std::string name;
    std::vector<std::string> args;
    std::vector<std::string> block;
};

inline constexpr int DEFAULT_TIMEOUT_SECONDS = 60;

struct TScript {
    std::vector<TCommand> commands;
    int timeoutSeconds = DEFAULT_TIMEOUT_SECONDS;
};

// Reads the whole script, checking every line, so that a malformed line is reported
// before the application starts. On failure error reads "SCRIPT:LINE: what is wrong".
bool ParseScript(std::string_view scriptName, std::string_view text,
                 const TPlaceholders& placeholders, TScript& script, std::string& error);

// The command a `when` line arms: its arguments from the third on.
TCommand ArmedCommand(const TCommand& when);

}  // namespace scenario
