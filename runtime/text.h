#pragma once
// UTF-8 <-> UTF-16 conversion. Text inside the program is UTF-8 in std::string.
//
// Bytes that are not valid UTF-8 (file names on POSIX may hold any bytes) become the
// lone surrogates U+DC80..U+DCFF, one per byte, and turn back into the same bytes on
// the way to UTF-8, so no conversion ever loses a name.

#include <cstddef>
#include <string>
#include <string_view>

namespace rt {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends the UTF-8 form of one code point (surrogate escapes give back their byte).
void AppendUtf8(std::string& out, char32_t codePoint);

// A high surrogate followed by a low one stands for one character above U+FFFF in UTF-16.
constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The code point that starts at units[pos], a surrogate pair taken as one; pos moves past
// it. A surrogate without its partner comes out as itself, so escapes of bytes survive.
char32_t NextCodePoint(std::u16string_view units, std::size_t& pos);
// The same in UTF-8: a byte that starts no valid sequence comes out as its escape (above).
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);

// Number of 16-bit units the text has as UTF-16.
std::size_t Utf16Length(std::string_view utf8);

// ISO 8859-1 bytes to UTF-8, and back; false from ToLatin1 when a character is above 255.
std::string Latin1ToUtf8(std::string_view latin1);
bool Utf8ToLatin1(std::string_view utf8, std::string& latin1);

std::string ToLowerAscii(std::string_view text);

// The text made safe to show on one line, reading as what it is: control characters, the
// line and paragraph separators, the bidirectional controls and the zero-width characters
// become visible C-style escapes (\t \n \r, other C0 and DEL as \xHH, the others as
// \uHHHH: C1, U+200B..U+200F, U+2028..U+202E, U+2060, U+2066..U+2069, U+FEFF).
// Everything else, bytes that are not UTF-8 included, stays.
std::string EscapeControlCharacters(std::string_view text);

// File names on Windows are 16-bit units that need not be valid UTF-16. These converters
// keep every such name: a lone surrogate U+DC80..U+DCFF becomes its byte (as above), any
// other lone surrogate its 3-byte generalised UTF-8 form, which the way back reads as that
// surrogate again. (Only a name holding exactly the byte escapes of such a 3-byte form
// would come back as the one surrogate.)
std::string WideNameToUtf8(std::u16string_view units);
std::u16string Utf8ToWideName(std::string_view utf8);

// File names are bytes, but a database that keeps its text as UTF-16 turns bytes that are
// not UTF-8 into U+FFFD, so two such names would become one. For storage each such byte
// becomes one of the private-use characters U+10FF80..U+10FFFF (a genuine one of those is
// escaped byte by byte too), which keeps the mapping one to one. U+2029, which the
// database reads back as a line feed, and U+FFFE and U+FFFF, which it stores as U+FFFD, are
// escaped byte by byte as well; other valid text is unchanged.
std::string EscapeNonUtf8(std::string_view bytes);
std::string UnescapeNonUtf8(std::string_view text);

}  // namespace rt
