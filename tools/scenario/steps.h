#pragma once
// Carrying out one command of a script. Each returns what went wrong, or the empty text.

#include <string>

#include "tools/scenario/scenario_host.h"
#include "tools/scenario/script.h"

namespace scenario {

std::string RunFileCommand(const TCommand& command, TScenarioHost& host);
std::string RunUserCommand(const TCommand& command, TScenarioHost& host);
std::string CheckExpectation(const TCommand& command, TScenarioHost& host);

// The failure of a command that names a gadget the application has not got now.
std::string MissingGadget(const std::string& name);

// The report area's lines with their time stamps masked, as save-report writes them.
std::vector<std::string> MaskedReportLines(TScenarioHost& host);

}  // namespace scenario
