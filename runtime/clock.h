#pragma once
// Time: a monotonic millisecond clock, sleeping, and local date/time texts.

#include <cstdint>
#include <ctime>
#include <string>

namespace rt {

// Milliseconds since an arbitrary start; 64-bit, never wraps.
std::uint64_t Millisecs();
void SleepMs(std::uint32_t milliseconds);

// strftime of the local time in the "C" locale, whatever the process locale is.
std::string FormatLocalTime(const char* pattern, std::time_t when);
std::string FormatLocalTime(const char* pattern);  // now

}  // namespace rt
