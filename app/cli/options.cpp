#include "app/cli/options.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "app/exclusion_rule.h"
#include "runtime/filesystem.h"
#include "runtime/native_path.h"
#include "runtime/path.h"
#include "runtime/textfile.h"

namespace cli {
namespace {

enum class OptionId {
    Datafile,
    Log,
    Md5,
    Interval,
    Watch,
    Links,
    Exclude,
    ExcludeFrom,
    Json,
    Quiet,
    Help,
    Version
};

struct KnownOption {
    OptionId id;
    char shortName;  // 0: none
    const char* longName;
    bool takesValue;
};

constexpr KnownOption OPTIONS[] = {
    {OptionId::Datafile, 'd', "datafile", true}, {OptionId::Log, 'l', "log", true},
    {OptionId::Md5, 'm', "md5", false},          {OptionId::Interval, 'i', "interval", true},
    {OptionId::Watch, 0, "watch", false},        {OptionId::Links, 0, "links", true},
    {OptionId::Exclude, 0, "exclude", true},     {OptionId::ExcludeFrom, 0, "exclude-from", true},
    {OptionId::Json, 0, "json", false},          {OptionId::Quiet, 'q', "quiet", false},
    {OptionId::Help, 'h', "help", false},        {OptionId::Version, 'V', "version", false},
};

const KnownOption* FindShort(char name) {
    for (const KnownOption& option : OPTIONS) {
        if (option.shortName != 0 && option.shortName == name) return &option;
    }
    return nullptr;
}

const KnownOption* FindLong(const std::string& name) {
    for (const KnownOption& option : OPTIONS) {
        if (name == option.longName) return &option;
    }
    return nullptr;
}

// A whole number of minutes: decimal digits only, within the 32-bit range of `minutes`;
// otherwise why not.
std::optional<std::int32_t> MinutesOf(const std::string& text, std::string& whyNot) {
    constexpr std::int32_t MOST = std::numeric_limits<std::int32_t>::max();
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) {
        whyNot = "is not a whole number of minutes (0 or more)";
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > MOST) {
            whyNot = "is too large (at most " + std::to_string(MOST) + " minutes)";
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(value);
}

std::optional<app::LinkChoice> LinkChoiceOf(const std::string& text) {
    if (text == "follow") return app::LinkChoice::Follow;
    if (text == "inside") return app::LinkChoice::Inside;
    if (text == "skip") return app::LinkChoice::Skip;
    return std::nullopt;
}

// Why a patterns file could not be read, as far as the system tells.
std::string UnreadableBecause(const std::string& path) {
    const rt::EntryStatus status = rt::QueryPath(path);
    if (!status.Answered()) return ": " + status.failure;
    if (status.Absent()) return ": No such file or directory";
    if (status.kind == rt::ENTRY_DIR) return ": Is a directory";
    if (status.kind != rt::ENTRY_FILE) return ": not a regular file";
    return "";
}

// The lines of a patterns file that hold a pattern, with their line numbers: blank lines and
// those starting with '#' are skipped; a line may end in CR LF and the file may start with
// the UTF-8 byte-order mark. Any other blank is part of the pattern.
std::vector<std::pair<std::size_t, std::string>> PatternLines(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    std::vector<std::pair<std::size_t, std::string>> lines;
    for (std::size_t number = 1; !bytes.empty(); ++number) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#')
            continue;
        lines.emplace_back(number, std::string(line));
    }
    return lines;
}

class ArgumentParser {
public:
    explicit ArgumentParser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    ParsedArguments Parse() {
        std::vector<std::string> operands;
        bool optionsEnded = false;
        for (next_ = 0; next_ < arguments_.size() && Running();) {
            const std::string& argument = arguments_[next_++];
            if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
                operands.push_back(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument.starts_with("--")) {
                TakeLong(argument.substr(2));
            } else {
                TakeShortBundle(argument);
            }
        }
        if (Running()) TakeOperands(operands);
        return result_;
    }

private:
    bool Running() const { return result_.action == Action::Run; }

    void Fail(const std::string& error) {
        result_.action = Action::BadArguments;
        result_.error = error;
    }

    void TakeLong(const std::string& text) {
        const std::size_t equals = text.find('=');
        const std::string name = text.substr(0, equals);
        const KnownOption* option = FindLong(name);
        if (!option) return Fail("unknown option '--" + name + "'");
        const std::string shown = "--" + name;
        if (!option->takesValue) {
            if (equals != std::string::npos) return Fail("option '" + shown + "' takes no value");
            return Apply(*option, shown, "");
        }
        if (equals != std::string::npos) return Apply(*option, shown, text.substr(equals + 1));
        TakeNextAsValue(*option, shown);
    }

    void TakeShortBundle(const std::string& argument) {
        for (std::size_t at = 1; at < argument.size() && Running(); ++at) {
            const KnownOption* option = FindShort(argument[at]);
            const std::string shown = std::string("-") + argument[at];
            if (!option) return Fail("unknown option '" + shown + "'");
            if (!option->takesValue) {
                Apply(*option, shown, "");
            } else if (at + 1 < argument.size()) {
                return Apply(*option, shown, argument.substr(at + 1));
            } else {
                return TakeNextAsValue(*option, shown);
            }
        }
    }

    void TakeNextAsValue(const KnownOption& option, const std::string& shown) {
        if (next_ >= arguments_.size()) return Fail("option '" + shown + "' needs a value");
        Apply(option, shown, arguments_[next_++]);
    }

    void Apply(const KnownOption& option, const std::string& shown, const std::string& value) {
        Options& options = result_.options;
        if (option.takesValue && value.empty()) return Fail("option '" + shown + "' needs a value");
        switch (option.id) {
            case OptionId::Datafile: options.datafile = value; return;
            case OptionId::Log: options.logfile = value; return;
            case OptionId::Md5: options.md5 = true; return;
            case OptionId::Interval: {
                std::string whyNot;
                options.intervalMinutes = MinutesOf(value, whyNot);
                if (!options.intervalMinutes)
                    Fail("option '" + shown + "': '" + value + "' " + whyNot);
                return;
            }
            case OptionId::Watch: options.watch = true; return;
            case OptionId::Links:
                if (const auto links = LinkChoiceOf(value)) {
                    options.links = *links;
                } else {
                    Fail("option '" + shown + "': '" + value + "' is not follow, inside or skip");
                }
                return;
            case OptionId::Exclude: return AddPattern(value, "option '" + shown + "'");
            case OptionId::ExcludeFrom: return AddPatternsOf(value, shown);
            case OptionId::Json: options.json = true; return;
            case OptionId::Quiet: options.quiet = true; return;
            case OptionId::Help: result_.action = Action::Help; return;
            case OptionId::Version: result_.action = Action::Version; return;
        }
    }

    // `where` says where the pattern came from, for the error.
    void AddPattern(const std::string& pattern, const std::string& where) {
        if (app::TExclusionRule({pattern}).Empty()) {
            return Fail(where + ": '" + pattern + "' names no entry");
        }
        result_.options.exclusions.push_back(pattern);
    }

    void AddPatternsOf(const std::string& path, const std::string& shown) {
        std::string bytes;
        if (!rt::ReadFileBytes(path, bytes)) {
            return Fail("option '" + shown + "': cannot read '" + path + "'" +
                        UnreadableBecause(path));
        }
        for (const auto& [number, pattern] : PatternLines(bytes)) {
            if (!Running()) return;
            AddPattern(pattern,
                       "option '" + shown + "': '" + path + "' line " + std::to_string(number));
        }
    }

    void TakeOperands(const std::vector<std::string>& operands) {
        if (operands.empty()) return Fail("no DIR given");
        if (operands.size() > 1) return Fail("more than one DIR given: '" + operands[1] + "'");
        if (operands.front().empty()) return Fail("DIR is empty");
        result_.options.dir = operands.front();
    }

    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
    ParsedArguments result_;
};

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
    return ArgumentParser(arguments).Parse();
}

std::string MonitoredDirOf(const std::string& given) {
    const std::filesystem::path normal = rt::NativePath(rt::ReachedPath(given)).lexically_normal();
    std::string dir = rt::PathText(normal);
    // A root keeps its separator: "/" or "C:\".
    const std::size_t root = std::max<std::size_t>(rt::PathText(normal.root_path()).size(), 1);
    while (dir.size() > root && dir.back() == rt::PATH_SEPARATOR) dir.pop_back();
    return dir;
}

}  // namespace cli
