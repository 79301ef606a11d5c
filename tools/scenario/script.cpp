#include "tools/scenario/script.h"

#include "tools/scenario/command_table.h"

namespace scenario {
namespace {

std::vector<std::string_view> SplitScriptLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsBlankOrComment(std::string_view line) {
    std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

bool IsEndLine(std::string_view line) {
    std::size_t first = line.find_first_not_of(" \t");
    std::size_t last = line.find_last_not_of(" \t");
    return first != std::string_view::npos && line.substr(first, last - first + 1) == "end";
}

class TParser {
public:
    TParser(std::string_view scriptName, const TPlaceholders& placeholders)
        : scriptName_(scriptName), placeholders_(placeholders) {}

    bool Parse(std::string_view text, TScript& script, std::string& error) {
        script = TScript{};
        const std::vector<std::string_view> lines = SplitScriptLines(text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (IsBlankOrComment(lines[i])) continue;
            TCommand command;
            command.line = static_cast<int>(i + 1);
            if (!ReadCommand(lines[i], command, error)) return false;
            if (CommandFormOf(command.name)->block && !ReadBlock(lines, i, command, error)) {
                return false;
            }
            if (command.kind == TCommandKind::Setting) {
                script.timeoutSeconds = static_cast<int>(ArgumentNumber(command.args[0]));
            }
            script.commands.push_back(std::move(command));
        }
        return true;
    }

private:
    bool ReadCommand(std::string_view line, TCommand& command, std::string& error) {
        std::vector<std::string> words;
        std::string problem;
        if (!SplitArguments(line, placeholders_, words, problem)) {
            return Fail(command.line, "malformed line: " + problem, error);
        }
        command.name = words.front();
        command.args.assign(words.begin() + 1, words.end());
        const TCommandForm* form = CommandFormOf(command.name);
        if (!form) return Fail(command.line, "unknown command \"" + command.name + "\"", error);
        command.kind = form->kind;
        if (!CheckArguments(*form, command.args, problem)) {
            return Fail(command.line, command.name + ": " + problem, error);
        }
        return true;
    }

    // Lines after the command up to a line reading `end`; i moves to that line.
    bool ReadBlock(const std::vector<std::string_view>& lines, std::size_t& i, TCommand& command,
                   std::string& error) {
        for (++i; i < lines.size(); ++i) {
            if (IsEndLine(lines[i])) return true;
            std::string expanded;
            std::string problem;
            if (!ExpandBlockLine(lines[i], placeholders_, expanded, problem)) {
                return Fail(static_cast<int>(i + 1), "malformed line: " + problem, error);
            }
            command.block.push_back(std::move(expanded));
        }
        return Fail(command.line, command.name + ": no `end` line closes the block", error);
    }

    bool Fail(int line, const std::string& message, std::string& error) const {
        error = std::string(scriptName_) + ":" + std::to_string(line) + ": " + message;
        return false;
    }

    std::string_view scriptName_;
    const TPlaceholders& placeholders_;
};

}  // namespace

bool ParseScript(std::string_view scriptName, std::string_view text,
                 const TPlaceholders& placeholders, TScript& script, std::string& error) {
    return TParser(scriptName, placeholders).Parse(text, script, error);
}

TCommand ArmedCommand(const TCommand& when) {
    TCommand armed;
    armed.line = when.line;
    armed.name = when.args[2];
    armed.args.assign(when.args.begin() + 3, when.args.end());
    armed.kind = CommandFormOf(armed.name)->kind;
    return armed;
}

}  // namespace scenario
