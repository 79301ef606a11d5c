#pragma once
// Every command a script may use, with the kind and the arguments it takes.

#include <string>
#include <string_view>
#include <vector>

#include "tools/scenario/script.h"

namespace scenario {

enum class TArgType {
    Text,     // any text
    Hex,      // pairs of hex digits, blanks allowed between them
    Size,     // a byte count, 0 or more (64-bit)
    Octal,    // permission bits such as 755
    Count,    // an integer, 0 or more
    Number,   // an integer, any sign
    Seconds,  // an integer, 1 or more
    Gadget,   // one of the gadget names
    MenuItem, // exit or about
};

struct TCommandForm {
    std::string_view name;
    TCommandKind kind;
    std::vector<TArgType> args;
    bool block = false;
};

// Null for an unknown name.
const TCommandForm* CommandFormOf(std::string_view name);

// Whether the arguments fit the command (a `when` line is checked with the command it
// arms); problem says why not.
bool CheckArguments(const TCommandForm& form, const std::vector<std::string>& args,
                    std::string& problem);

// Text to number under the argument rules above (already checked by CheckArguments).
std::int64_t ArgumentNumber(const std::string& text);
int ArgumentOctal(const std::string& text);
// The bytes of a Hex argument.
std::string ArgumentBytes(const std::string& text);

}  // namespace scenario
