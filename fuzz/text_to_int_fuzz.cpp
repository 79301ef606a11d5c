// The interval field's text to number conversion, against a plain reading of its rule:
// blanks, a sign, then decimal digits or "$" hexadecimal or "%" binary, clamped to 32 bits.

#include <cstdint>
#include <limits>
#include <string>

#include "fuzz/fuzz_check.h"
#include "runtime/convert.h"

namespace {

std::int64_t Reference(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string digits = "0123456789";
    if (i < text.size() && text[i] == '$') { digits = "0123456789abcdef"; ++i; }
    else if (i < text.size() && text[i] == '%') { digits = "01"; ++i; }
    const std::int64_t base = static_cast<std::int64_t>(digits.size());
    // Anything past 2^32 clamps alike, so the value is kept from growing beyond it.
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        const std::size_t digit = digits.find(c);
        if (digit == std::string::npos) break;
        value = value * base + static_cast<std::int64_t>(digit);
        if (value > (std::int64_t{1} << 32)) value = std::int64_t{1} << 32;
    }
    const std::int64_t low = std::numeric_limits<std::int32_t>::min();
    const std::int64_t high = std::numeric_limits<std::int32_t>::max();
    const std::int64_t signedValue = negative ? -value : value;
    return signedValue < low ? low : signedValue > high ? high : signedValue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Bytes(data, size);
    FUZZ_CHECK(rt::TextToInt(text) == Reference(text));
    return 0;
}
