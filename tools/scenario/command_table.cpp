#include "tools/scenario/command_table.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "tools/scenario/gadget_table.h"

namespace scenario {
namespace {

using K = TCommandKind;
using A = TArgType;

const std::vector<TCommandForm>& Forms() {
    static const std::vector<TCommandForm> forms = {
        {"mkdir", K::FileSystem, {A::Text}},
        {"write", K::FileSystem, {A::Text, A::Text}},
        {"append", K::FileSystem, {A::Text, A::Text}},
        {"write-hex", K::FileSystem, {A::Text, A::Hex}},
        {"fill", K::FileSystem, {A::Text, A::Size}},
        {"sparse", K::FileSystem, {A::Text, A::Size}},
        {"remove", K::FileSystem, {A::Text}},
        {"rename", K::FileSystem, {A::Text, A::Text}},
        {"chmod", K::FileSystem, {A::Octal, A::Text}},
        {"symlink", K::FileSystem, {A::Text, A::Text}},
        {"sql", K::FileSystem, {A::Text, A::Text}},
        {"save-report", K::FileSystem, {A::Text}},
        {"answer-dir", K::User, {A::Text}},
        {"answer-file", K::User, {A::Text}},
        {"click", K::User, {A::Gadget}},
        {"set-text", K::User, {A::Gadget, A::Text}},
        {"menu", K::User, {A::MenuItem}},
        {"close", K::User, {}},
        {"resize", K::User, {A::Count, A::Count}},
        {"when", K::Trigger, {}},
        {"expect-status", K::Expectation, {A::Text}},
        {"expect-statusbar", K::Expectation, {A::Text}},
        {"expect-text", K::Expectation, {A::Gadget, A::Text}},
        {"expect-enabled", K::Expectation, {A::Gadget}},
        {"expect-disabled", K::Expectation, {A::Gadget}},
        {"expect-state", K::Expectation, {A::Gadget, A::Number}},
        {"expect-progress", K::Expectation, {A::Count}},
        {"expect-geometry", K::Expectation,
         {A::Gadget, A::Number, A::Number, A::Number, A::Number}},
        {"expect-url-opened", K::Expectation, {}},
        {"expect-report", K::Expectation, {}, true},
        {"expect-report-set", K::Expectation, {}, true},
        {"expect-report-order", K::Expectation, {}, true},
        {"expect-report-count", K::Expectation, {A::Count}},
        {"expect-log", K::Expectation, {A::Text}, true},
        {"expect-log-set", K::Expectation, {A::Text}, true},
        {"expect-log-order", K::Expectation, {A::Text}, true},
        {"expect-bytes", K::Expectation, {A::Text, A::Hex}},
        {"expect-missing", K::Expectation, {A::Text}},
        {"expect-exists", K::Expectation, {A::Text}},
        {"expect-rows", K::Expectation, {A::Text, A::Text}, true},
        {"expect-rows-set", K::Expectation, {A::Text, A::Text}, true},
        {"expect-rows-order", K::Expectation, {A::Text, A::Text}, true},
        {"timeout", K::Setting, {A::Seconds}},
    };
    return forms;
}

constexpr std::string_view TRIGGER_CONDITIONS[] = {"statusbar-prefix", "statusbar", "status",
                                                   "polls"};

std::string HexDigitsOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c != ' ' && c != '\t') digits += c;
    }
    return digits;
}

bool ParseInteger(const std::string& text, int base, std::int64_t& value) {
    const char* end = text.data() + text.size();
    auto [rest, problem] = std::from_chars(text.data(), end, value, base);
    return !text.empty() && problem == std::errc() && rest == end;
}

bool CheckArgument(TArgType type, const std::string& text, std::string& problem) {
    std::int64_t value = 0;
    switch (type) {
    case A::Text:
        return true;
    case A::Hex: {
        const std::string digits = HexDigitsOf(text);
        const bool valid = digits.size() % 2 == 0 &&
                           std::all_of(digits.begin(), digits.end(),
                                       [](char c) { return HexDigitValue(c) >= 0; });
        if (!valid) problem = "\"" + text + "\" is not a sequence of hex byte pairs";
        return valid;
    }
    case A::Size:
    case A::Count:
        if (ParseInteger(text, 10, value) && value >= 0) return true;
        problem = "\"" + text + "\" is not a number of 0 or more";
        return false;
    case A::Number:
        if (ParseInteger(text, 10, value) && value >= INT32_MIN && value <= INT32_MAX) return true;
        problem = "\"" + text + "\" is not a number";
        return false;
    case A::Seconds:
        if (ParseInteger(text, 10, value) && value >= 1 && value <= INT32_MAX) return true;
        problem = "\"" + text + "\" is not a number of seconds";
        return false;
    case A::Octal:
        if (ParseInteger(text, 8, value) && value >= 0 && value <= 07777) return true;
        problem = "\"" + text + "\" is not an octal permission";
        return false;
    case A::Gadget:
        if (std::find(GadgetNames().begin(), GadgetNames().end(), text) != GadgetNames().end()) {
            return true;
        }
        problem = "\"" + text + "\" is not a gadget name";
        return false;
    case A::MenuItem:
        if (text == "exit" || text == "about") return true;
        problem = "\"" + text + "\" is not a menu item (exit or about)";
        return false;
    }
    return false;
}

bool CheckList(const std::vector<TArgType>& types, const std::vector<std::string>& args,
               std::size_t first, std::string& problem) {
    if (args.size() - first != types.size()) {
        problem = "takes " + std::to_string(types.size()) + " argument(s), found " +
                  std::to_string(args.size() - first);
        return false;
    }
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (!CheckArgument(types[i], args[first + i], problem)) return false;
    }
    return true;
}

// when CONDITION VALUE COMMAND ARGS...
bool CheckTrigger(const std::vector<std::string>& args, std::string& problem) {
    if (args.size() < 3) {
        problem = "needs a condition, its value and a command";
        return false;
    }
    if (std::find(std::begin(TRIGGER_CONDITIONS), std::end(TRIGGER_CONDITIONS), args[0]) ==
        std::end(TRIGGER_CONDITIONS)) {
        problem = "\"" + args[0] + "\" is not a trigger condition";
        return false;
    }
    if (args[0] == "polls" && !CheckArgument(A::Count, args[1], problem)) return false;
    const TCommandForm* armed = CommandFormOf(args[2]);
    if (!armed || armed->block ||
        (armed->kind != K::User && armed->kind != K::FileSystem)) {
        problem = "\"" + args[2] + "\" cannot be armed: a trigger takes a user or file command";
        return false;
    }
    if (!CheckList(armed->args, args, 3, problem)) {
        problem = args[2] + " " + problem;
        return false;
    }
    return true;
}

}  // namespace

const TCommandForm* CommandFormOf(std::string_view name) {
    for (const TCommandForm& form : Forms()) {
        if (form.name == name) return &form;
    }
    return nullptr;
}

bool CheckArguments(const TCommandForm& form, const std::vector<std::string>& args,
                    std::string& problem) {
    if (form.kind == K::Trigger) return CheckTrigger(args, problem);
    return CheckList(form.args, args, 0, problem);
}

std::int64_t ArgumentNumber(const std::string& text) {
    std::int64_t value = 0;
    ParseInteger(text, 10, value);
    return value;
}

int ArgumentOctal(const std::string& text) {
    std::int64_t value = 0;
    ParseInteger(text, 8, value);
    return static_cast<int>(value);
}

std::string ArgumentBytes(const std::string& text) {
    const std::string digits = HexDigitsOf(text);
    std::string bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes += static_cast<char>(HexDigitValue(digits[i]) * 16 + HexDigitValue(digits[i + 1]));
    }
    return bytes;
}

}  // namespace scenario
