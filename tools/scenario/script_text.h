#pragma once
// The text rules of a scenario line: arguments separated by blanks, double quotes around
// arguments that hold blanks or quotes, the escapes \" \\ \n \r \t \uXXXX, and the
// placeholders $ROOT and $SEP.

#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// What $ROOT and $SEP stand for in this run.
struct TPlaceholders {
    std::string root;
    std::string separator;
};

// The value of a hexadecimal digit, -1 for any other character.
int HexDigitValue(char c);

// Splits a command line into its arguments, expanding escapes and placeholders in
// every part of it (quoted or not). False with a description on malformed text.
bool SplitArguments(std::string_view line, const TPlaceholders& placeholders,
                    std::vector<std::string>& arguments, std::string& error);

// A block line is taken whole: escapes and placeholders expand, quotes are plain text.
bool ExpandBlockLine(std::string_view line, const TPlaceholders& placeholders,
                     std::string& expanded, std::string& error);

}  // namespace scenario
