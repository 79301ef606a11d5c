// The UTF-8 <-> UTF-16 converters: the input read as UTF-8 bytes and as 16-bit units.
// Bytes survive a trip through UTF-16 (invalid ones as their escapes), and lengths agree.

#include <string>

#include "fuzz/fuzz_check.h"
#include "runtime/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);

    const std::u16string units = rt::Utf8ToUtf16(bytes);
    FUZZ_CHECK(rt::Utf16ToUtf8(units) == bytes);
    FUZZ_CHECK(rt::Utf16Length(bytes) == units.size());

    std::string latin1;
    FUZZ_CHECK(rt::Utf8ToLatin1(rt::Latin1ToUtf8(bytes), latin1) && latin1 == bytes);

    // The same bytes as little-endian 16-bit units: any units convert, and every code point
    // that NextCodePoint reads is one AppendUtf8 can write.
    std::u16string raw;
    for (std::size_t i = 0; i + 1 < size; i += 2) raw.push_back(char16_t(data[i] | data[i + 1] << 8));
    const std::string utf8 = rt::Utf16ToUtf8(raw);
    std::string rebuilt;
    for (std::size_t pos = 0; pos < raw.size();) {
        const std::size_t before = pos;
        const char32_t codePoint = rt::NextCodePoint(raw, pos);
        FUZZ_CHECK(pos == before + 1 || pos == before + 2);
        FUZZ_CHECK(codePoint <= 0x10FFFF);
        rt::AppendUtf8(rebuilt, codePoint);
    }
    FUZZ_CHECK(rebuilt == utf8);
    // What UTF-16 gives as UTF-8 converts back to no more units than it came from.
    FUZZ_CHECK(rt::Utf8ToUtf16(utf8).size() <= raw.size());
    return 0;
}
