#pragma once
// Comparing the lines the application produced with the lines a script expects.

#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Replaces a leading "DD Mon YYYY HH:MM:SS" (the stamp of a change line) by "<T>".
std::string MaskTimestamp(std::string_view line);

// Splits at line feeds; a final line feed ends the last line instead of starting one.
std::vector<std::string> SplitLines(std::string_view text);

enum class TLineMatch {
    Exact,        // the same lines in the same order
    AnyOrder,     // the same lines, each as often, in any order
    Subsequence,  // the expected lines occur in this order, other lines between them
};

// Empty when the lines agree; otherwise a description of both lists for a failure
// message. Found lines are compared with their time stamps masked.
std::string DescribeMismatch(const std::vector<std::string>& expected,
                             const std::vector<std::string>& found, TLineMatch match);

// A text in double quotes, with control characters and quotes escaped as in scripts.
std::string Quoted(std::string_view text);

}  // namespace scenario
