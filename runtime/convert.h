#pragma once
// Text to number conversion.

#include <cstdint>
#include <string_view>

namespace rt {

// Skips leading white space, takes an optional sign, then decimal digits, or after "$"
// hexadecimal, or after "%" binary, up to the first other character. No digits gives 0;
// values beyond the 32-bit range are clamped to it.
std::int32_t TextToInt(std::string_view text);

}  // namespace rt
