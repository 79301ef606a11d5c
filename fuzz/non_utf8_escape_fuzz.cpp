// The storage escape of file names: any bytes escape to valid UTF-8 without the characters
// the database would change (U+2029, U+FFFE, U+FFFF) and unescape to themselves; valid text
// without those and without the escape's own characters is unchanged.

#include <string>

#include "fuzz/fuzz_check.h"
#include "runtime/text.h"

namespace {

// Whether the bytes are valid UTF-8: no byte of them turns into a byte escape.
bool IsValidUtf8(std::string_view bytes) {
    const std::u16string units = rt::Utf8ToUtf16(bytes);
    for (std::size_t pos = 0; pos < units.size();) {
        const char32_t codePoint = rt::NextCodePoint(units, pos);
        if (codePoint >= 0xDC80 && codePoint <= 0xDCFF) return false;
    }
    return true;
}

bool HoldsEscapeCharacters(std::string_view text) {
    const std::u16string units = rt::Utf8ToUtf16(text);
    for (std::size_t pos = 0; pos < units.size();) {
        const char32_t codePoint = rt::NextCodePoint(units, pos);
        if (codePoint == 0x2029 || codePoint == 0xFFFE || codePoint == 0xFFFF ||
            (codePoint >= 0x10FF80 && codePoint <= 0x10FFFF)) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    const std::string escaped = rt::EscapeNonUtf8(bytes);
    FUZZ_CHECK(rt::UnescapeNonUtf8(escaped) == bytes);
    FUZZ_CHECK(IsValidUtf8(escaped));
    for (const char* changed : {"\xE2\x80\xA9", "\xEF\xBF\xBE", "\xEF\xBF\xBF"}) {
        FUZZ_CHECK(escaped.find(changed) == std::string::npos);
    }
    if (IsValidUtf8(bytes) && !HoldsEscapeCharacters(bytes)) FUZZ_CHECK(escaped == bytes);
    // Unescaping text that was never escaped does not fail either.
    (void)rt::UnescapeNonUtf8(bytes);
    return 0;
}
