// The file-system commands, done by the runner at once.

#include "tools/scenario/command_table.h"
#include "tools/scenario/file_commands.h"
#include "tools/scenario/line_match.h"
#include "tools/scenario/sqlite_file.h"
#include "tools/scenario/steps.h"

namespace scenario {
namespace {

std::uint64_t ArgumentSize(const std::string& text) {
    return static_cast<std::uint64_t>(ArgumentNumber(text));
}

std::string SaveReport(const std::string& path, TScenarioHost& host, std::string& error) {
    std::string text;
    for (const std::string& line : MaskedReportLines(host)) text += line + "\n";
    WriteFile(path, text, error);
    return error;
}

}  // namespace

std::vector<std::string> MaskedReportLines(TScenarioHost& host) {
    std::vector<std::string> lines = SplitLines(host.GadgetText("report"));
    for (std::string& line : lines) line = MaskTimestamp(line);
    return lines;
}

std::string RunFileCommand(const TCommand& command, TScenarioHost& host) {
    const std::string& name = command.name;
    const std::vector<std::string>& a = command.args;
    std::string error;
    if (name == "mkdir") MakeDirectory(a[0], error);
    else if (name == "write") WriteFile(a[0], a[1], error);
    else if (name == "append") AppendFile(a[0], a[1], error);
    else if (name == "write-hex") WriteFile(a[0], ArgumentBytes(a[1]), error);
    else if (name == "fill") FillFile(a[0], ArgumentSize(a[1]), error);
    else if (name == "sparse") MakeSparseFile(a[0], ArgumentSize(a[1]), error);
    else if (name == "remove") RemovePath(a[0], error);
    else if (name == "rename") RenamePath(a[0], a[1], error);
    else if (name == "chmod") ChangeMode(ArgumentOctal(a[0]), a[1], error);
    else if (name == "symlink") MakeSymlink(a[0], a[1], error);
    else if (name == "sql") RunStatements(a[0], a[1], error);
    else if (name == "save-report") SaveReport(a[0], host, error);
    return error;
}

}  // namespace scenario
