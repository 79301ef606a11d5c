// The scenario parser on any text: it reads the script or names the line it failed at,
// and every command it accepts has the arguments its form asks for.

#include <string>

#include "fuzz/fuzz_check.h"
#include "tools/scenario/command_table.h"
#include "tools/scenario/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const scenario::TPlaceholders placeholders{"/scratch/root", "/"};
    scenario::TScript script;
    std::string error;
    if (!scenario::ParseScript("fuzz.scn", fuzz::Bytes(data, size), placeholders, script, error)) {
        FUZZ_CHECK(error.rfind("fuzz.scn:", 0) == 0);
        return 0;
    }
    FUZZ_CHECK(script.timeoutSeconds >= 1);
    int previousLine = 0;
    for (const scenario::TCommand& command : script.commands) {
        FUZZ_CHECK(command.line > previousLine);
        previousLine = command.line;
        const scenario::TCommandForm* form = scenario::CommandFormOf(command.name);
        FUZZ_CHECK(form != nullptr && form->kind == command.kind);
        std::string problem;
        FUZZ_CHECK(scenario::CheckArguments(*form, command.args, problem));
        if (command.kind == scenario::TCommandKind::Trigger) {
            const scenario::TCommand armed = scenario::ArmedCommand(command);
            FUZZ_CHECK(scenario::CommandFormOf(armed.name) != nullptr);
        }
    }
    return 0;
}
