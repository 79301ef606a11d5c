#include "tools/scenario/line_match.h"

#include <algorithm>
#include <cstdio>

#include "runtime/text.h"

namespace scenario {
namespace {

constexpr std::string_view MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool DigitsAt(std::string_view text, std::size_t pos, std::size_t count) {
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

bool StartsWithTimestamp(std::string_view line) {
    constexpr std::size_t STAMP_LENGTH = 20;  // "07 Dec 2026 09:05:03"
    if (line.size() < STAMP_LENGTH) return false;
    const std::string_view month = line.substr(3, 3);
    return DigitsAt(line, 0, 2) && line[2] == ' ' &&
           std::find(std::begin(MONTHS), std::end(MONTHS), month) != std::end(MONTHS) &&
           line[6] == ' ' && DigitsAt(line, 7, 4) && line[11] == ' ' && DigitsAt(line, 12, 2) &&
           line[14] == ':' && DigitsAt(line, 15, 2) && line[17] == ':' && DigitsAt(line, 18, 2);
}

constexpr std::size_t MAX_LISTED_LINES = 40;

void ListLines(std::string& out, const char* title, const std::vector<std::string>& lines) {
    out += "\n  ";
    out += title;
    out += " " + std::to_string(lines.size()) + " line(s)";
    for (std::size_t i = 0; i < lines.size() && i < MAX_LISTED_LINES; ++i) {
        out += "\n    " + Quoted(lines[i]);
    }
    if (lines.size() > MAX_LISTED_LINES) out += "\n    ...";
}

// The first line that differs, as a pointer into both lists.
std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& found) {
    std::size_t i = 0;
    while (i < expected.size() && i < found.size() && expected[i] == found[i]) ++i;
    std::string out = "\n  first difference at line " + std::to_string(i + 1) + ": expected ";
    out += i < expected.size() ? Quoted(expected[i]) : std::string("no line");
    out += ", found ";
    out += i < found.size() ? Quoted(found[i]) : std::string("no line");
    return out;
}

// Lines that one multiset has more often than the other.
std::vector<std::string> Surplus(std::vector<std::string> from, std::vector<std::string> other) {
    std::sort(from.begin(), from.end());
    std::sort(other.begin(), other.end());
    std::vector<std::string> surplus;
    std::set_difference(from.begin(), from.end(), other.begin(), other.end(),
                        std::back_inserter(surplus));
    return surplus;
}

// Index of the first expected line that does not follow the ones before it in found;
// expected.size() when all do.
std::size_t FirstNotInOrder(const std::vector<std::string>& expected,
                            const std::vector<std::string>& found) {
    auto at = found.begin();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        at = std::find(at, found.end(), expected[i]);
        if (at == found.end()) return i;
        ++at;
    }
    return expected.size();
}

}  // namespace

std::string MaskTimestamp(std::string_view line) {
    if (!StartsWithTimestamp(line)) return std::string(line);
    return "<T>" + std::string(line.substr(20));
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string DescribeMismatch(const std::vector<std::string>& expected,
                             const std::vector<std::string>& found, TLineMatch match) {
    std::vector<std::string> masked;
    masked.reserve(found.size());
    for (const std::string& line : found) masked.push_back(MaskTimestamp(line));
    std::string out;
    switch (match) {
    case TLineMatch::Exact:
        if (masked == expected) return {};
        out += FirstDifference(expected, masked);
        break;
    case TLineMatch::AnyOrder: {
        const std::vector<std::string> missing = Surplus(expected, masked);
        const std::vector<std::string> unexpected = Surplus(masked, expected);
        if (missing.empty() && unexpected.empty()) return {};
        ListLines(out, "missing", missing);
        ListLines(out, "unexpected", unexpected);
        break;
    }
    case TLineMatch::Subsequence: {
        const std::size_t missing = FirstNotInOrder(expected, masked);
        if (missing == expected.size()) return {};
        out += "\n  not found in this order: " + Quoted(expected[missing]);
        break;
    }
    }
    ListLines(out, "expected", expected);
    ListLines(out, "found", masked);
    return out;
}

// Control characters and bytes that are not UTF-8 are shown as the escapes a script
// would write for them.
std::string Quoted(std::string_view text) {
    const std::u16string units = rt::Utf8ToUtf16(text);
    std::string out = "\"";
    for (std::size_t i = 0; i < units.size();) {
        const char32_t point = rt::NextCodePoint(units, i);
        switch (point) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (point < 0x20 || rt::IsSurrogate(point)) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(point));
                out += escape;
            } else {
                rt::AppendUtf8(out, point);
            }
        }
    }
    return out + "\"";
}

}  // namespace scenario
