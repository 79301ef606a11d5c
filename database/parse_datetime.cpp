#include "database/datetime.h"

#include <climits>

namespace db {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a run of digits; a run too long for an int saturates, so range checks still fail.
int readNumber(std::string_view input, std::size_t& i) {
    long long n = 0;
    while (i < input.size() && isDigit(input[i])) {
        if (n <= INT_MAX) n = n * 10 + (input[i] - '0');
        ++i;
    }
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

struct Conversion {
    int* target;
    int low;
    int high;
    bool optional;  // takes nothing at the end of the input or before white space
};

bool conversionFor(char letter, TDateTimeParts& parts, Conversion& c) {
    switch (letter) {
    case 'Y': c = {&parts.year, INT_MIN, INT_MAX, true}; return true;
    case 'm': c = {&parts.month, 1, 12, false}; return true;
    case 'd': c = {&parts.day, INT_MIN, 31, false}; return true;
    case 'H': c = {&parts.hour, INT_MIN, 23, false}; return true;
    case 'M': c = {&parts.minute, INT_MIN, 59, true}; return true;
    case 'S': c = {&parts.second, INT_MIN, 59, true}; return true;
    default: return false;
    }
}

}  // namespace

int parseDateTime(std::string_view input, std::string_view pattern, TDateTimeParts& parts) {
    parts = TDateTimeParts{};
    std::size_t i = 0;
    std::size_t j = 0;
    while (j < pattern.size()) {
        char c = pattern[j++];
        if (c != '%') {
            if (isBlank(c)) {
                while (i < input.size() && isBlank(input[i])) ++i;
            } else {
                if (i >= input.size() || input[i] != c) return 0;
                ++i;
            }
            continue;
        }
        if (j >= pattern.size()) return 0;
        char letter = pattern[j++];
        Conversion conv{};
        if (!conversionFor(letter, parts, conv)) return 0;
        bool atGap = i >= input.size() || isBlank(input[i]);
        if (atGap && conv.optional) {
            // %M and %S simply take nothing; %Y still skips the rest of its pattern word.
            if (letter != 'Y') continue;
        } else {
            if (atGap || !isDigit(input[i])) return 0;
            int n = readNumber(input, i);
            if (n < conv.low || n > conv.high) return 0;
            *conv.target = n;
        }
        if (i < input.size() && isBlank(input[i])) {
            while (j < pattern.size() && !isBlank(pattern[j])) ++j;
        }
    }
    return 1;
}

}  // namespace db
