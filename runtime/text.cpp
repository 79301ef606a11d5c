#include "runtime/text.h"

namespace rt {
namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;
constexpr char32_t ESCAPE_BASE = 0xDC00;  // U+DC80..U+DCFF carry one invalid byte each

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one UTF-8 sequence at text[i]; on invalid input returns the escape of the one
// byte at text[i] and a length of 1, so decoding always goes on with the next byte.
char32_t DecodeOne(std::string_view text, std::size_t i, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[i]);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t needed = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) { needed = 1; value = lead & 0x1F; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { needed = 2; value = lead & 0x0F; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { needed = 3; value = lead & 0x07; minimum = 0x10000; }
    else return ESCAPE_BASE + lead;
    if (i + needed >= text.size()) return ESCAPE_BASE + lead;
    for (std::size_t k = 1; k <= needed; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(byte)) return ESCAPE_BASE + lead;
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || IsSurrogate(value)) return ESCAPE_BASE + lead;
    length = needed + 1;
    return value;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

constexpr char32_t BYTE_ESCAPE_BASE = 0x10FF00;  // U+10FF80..U+10FFFF carry one byte each

// The database reads U+2029 back as a line feed and stores U+FFFE and U+FFFF as U+FFFD,
// so a name holding one of them is stored escaped.
bool IsChangedByTheDatabase(char32_t cp) { return cp == 0x2029 || cp == 0xFFFE || cp == 0xFFFF; }

bool IsByteEscape(char32_t cp) { return cp >= BYTE_ESCAPE_BASE + 0x80 && cp <= BYTE_ESCAPE_BASE + 0xFF; }
bool IsInvalidByte(char32_t cp) { return cp >= ESCAPE_BASE + 0x80 && cp <= ESCAPE_BASE + 0xFF; }
bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp >= ESCAPE_BASE + 0x80 && cp <= ESCAPE_BASE + 0xFF) {
        out.push_back(static_cast<char>(cp - ESCAPE_BASE));
        return;
    }
    if (IsSurrogate(cp) || cp > 0x10FFFF) cp = REPLACEMENT;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0, length = 0; i < utf8.size(); i += length)
        AppendUtf16(out, DecodeOne(utf8, i, length));
    return out;
}

char32_t NextCodePoint(std::u16string_view units, std::size_t& pos) {
    const char32_t unit = units[pos++];
    if (IsHighSurrogate(unit) && pos < units.size() && IsLowSurrogate(units[pos])) {
        return CombineSurrogates(unit, units[pos++]);
    }
    return unit;
}

char32_t NextCodePoint(std::string_view utf8, std::size_t& pos) {
    std::size_t length = 0;
    const char32_t codePoint = DecodeOne(utf8, pos, length);
    pos += length;
    return codePoint;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size();) AppendUtf8(out, NextCodePoint(utf16, i));
    return out;
}

std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t i = 0, length = 0; i < utf8.size(); i += length)
        units += DecodeOne(utf8, i, length) >= 0x10000 ? 2 : 1;
    return units;
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char c : latin1) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

bool Utf8ToLatin1(std::string_view utf8, std::string& latin1) {
    latin1.clear();
    latin1.reserve(utf8.size());
    for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
        const char32_t cp = DecodeOne(utf8, i, length);
        if (cp > 0xFF) return false;
        latin1.push_back(static_cast<char>(cp));
    }
    return true;
}

std::string WideNameToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size();) {
        const char32_t cp = NextCodePoint(units, i);
        if (IsSurrogate(cp) && !IsInvalidByte(cp)) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            AppendUtf8(out, cp);
        }
    }
    return out;
}

std::u16string Utf8ToWideName(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0, length = 0; i < utf8.size(); i += length) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        // ED A0..BF xx is a surrogate in its 3-byte form: what WideNameToUtf8 made of one.
        if (lead == 0xED && i + 2 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0xA0 &&
            IsContinuation(static_cast<unsigned char>(utf8[i + 2]))) {
            out.push_back(static_cast<char16_t>(0xD000 | ((utf8[i + 1] & 0x3F) << 6) |
                                                (utf8[i + 2] & 0x3F)));
            length = 3;
            continue;
        }
        AppendUtf16(out, DecodeOne(utf8, i, length));
    }
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

namespace {

// Characters that change how a line reads without showing: line and paragraph separators,
// the bidirectional controls and the zero-width characters. A name holding them could make
// its line look like another path.
bool IsInvisibleFormatCharacter(char32_t c) {
    return (c >= 0x200B && c <= 0x200F) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202A && c <= 0x202E) || c == 0x2060 || (c >= 0x2066 && c <= 0x2069) ||
           c == 0xFEFF;
}

// The C1 controls U+0080..U+009F and the invisible format characters, in UTF-8; zero when
// the bytes at text[i] are none of them.
char32_t WideControlAt(std::string_view text, std::size_t i, std::size_t& length) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const std::size_t left = text.size() - i;
    if (left >= 2 && byte(0) == 0xC2 && byte(1) >= 0x80 && byte(1) <= 0x9F) {
        length = 2;
        return byte(1);
    }
    if (left >= 3 && (byte(0) == 0xE2 || byte(0) == 0xEF) && IsContinuation(byte(1)) &&
        IsContinuation(byte(2))) {
        const char32_t c = char32_t(byte(0) & 0x0F) << 12 | char32_t(byte(1) & 0x3F) << 6 |
                           char32_t(byte(2) & 0x3F);
        if (!IsInvisibleFormatCharacter(c)) return 0;
        length = 3;
        return c;
    }
    return 0;
}

void AppendHex(std::string& out, unsigned value, int digits) {
    static const char kDigits[] = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
}

void AppendEscape(std::string& out, unsigned char c) {
    switch (c) {
        case '\t': out += "\\t"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        default: out += "\\x"; AppendHex(out, c, 2); return;
    }
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
        } else if (const char32_t wide = WideControlAt(text, i, length)) {
            out += "\\u";
            AppendHex(out, wide, 4);
        } else {
            out += text[i];
        }
        i += length;
    }
    return out;
}

std::string EscapeNonUtf8(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t i = 0, length = 0; i < bytes.size(); i += length) {
        const char32_t cp = DecodeOne(bytes, i, length);
        if (IsInvalidByte(cp) || IsByteEscape(cp) || IsChangedByTheDatabase(cp)) {
            for (std::size_t k = 0; k < length; ++k)
                AppendUtf8(out, BYTE_ESCAPE_BASE + static_cast<unsigned char>(bytes[i + k]));
        } else {
            out.append(bytes.substr(i, length));
        }
    }
    return out;
}

std::string UnescapeNonUtf8(std::string_view text) {
    // Every escape is encoded from the lead byte F4 on: without it there is none to undo.
    if (text.find('\xF4') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        const char32_t cp = DecodeOne(text, i, length);
        if (IsByteEscape(cp)) out.push_back(static_cast<char>(cp - BYTE_ESCAPE_BASE));
        else out.append(text.substr(i, length));
    }
    return out;
}

}  // namespace rt
