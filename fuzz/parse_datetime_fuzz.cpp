// parseDateTime on any input with any pattern (the part before the first NUL byte is the
// pattern; without one, the three patterns of the date types are tried), and the date
// types read from text and written back.

#include <string>

#include "database/datetime.h"
#include "fuzz/fuzz_check.h"

namespace {

// What a successful parse may have stored, whatever the pattern.
void CheckRanges(const db::TDateTimeParts& parts) {
    FUZZ_CHECK(parts.year >= 0);
    FUZZ_CHECK(parts.month >= 0 && parts.month <= 12);
    FUZZ_CHECK(parts.day >= 0 && parts.day <= 31);
    FUZZ_CHECK(parts.hour >= 0 && parts.hour <= 23);
    FUZZ_CHECK(parts.minute >= 0 && parts.minute <= 59);
    FUZZ_CHECK(parts.second >= 0 && parts.second <= 59);
}

// A value read from text writes text that reads back as the same parts.
template <typename T>
void CheckTextRoundTrip(const std::string& input, const char* pattern) {
    const auto value = T::SetFromString(input);
    db::TDateTimeParts parts;
    const bool parsed = db::parseDateTime(input, pattern, parts) == 1;
    FUZZ_CHECK(parsed == (value != nullptr));
    if (!value) return;
    CheckRanges(parts);
    // A blank after the year ends a date early, as the pattern rules say, leaving a month
    // of 0 that the written text cannot carry; years past four digits are left to the C
    // library's own range.
    if (parts.year > 9999 || (pattern[1] == 'Y' && parts.month == 0)) return;
    db::TDateTimeParts again;
    FUZZ_CHECK(db::parseDateTime(value->getString(), pattern, again) == 1);
    FUZZ_CHECK(again.year == parts.year && again.month == parts.month && again.day == parts.day &&
               again.hour == parts.hour && again.minute == parts.minute &&
               again.second == parts.second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    const std::size_t nul = bytes.find('\0');
    db::TDateTimeParts parts;
    if (nul != std::string_view::npos) {
        if (db::parseDateTime(bytes.substr(nul + 1), bytes.substr(0, nul), parts) == 1) {
            CheckRanges(parts);
        }
        return 0;
    }
    const std::string input(bytes);
    CheckTextRoundTrip<db::TDBDate>(input, "%Y-%m-%d");
    CheckTextRoundTrip<db::TDBDateTime>(input, "%Y-%m-%d %H:%M:%S");
    CheckTextRoundTrip<db::TDBTime>(input, "%H:%M:%S");
    return 0;
}
