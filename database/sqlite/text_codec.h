#pragma once
// Text on its way to and from SQLite.
//
// The program's text is UTF-8, which is SQLite's own form: a character beyond U+FFFF
// travels as one 4-byte sequence, and bytes that are not UTF-8 (file names may hold
// any) are stored and read back exactly as they are.

#include <string>
#include <string_view>

namespace db {

// The bytes SQLite is given for a text: the text itself.
inline std::string_view encodeUTF8(std::string_view text) {
    return text;
}

// A NUL-terminated text from SQLite (error messages, column names, declared types);
// nullptr gives the empty text.
std::string decodeUTF8(const char* bytes);

// A counted run of column text: NUL bytes are skipped, and U+2029 (paragraph
// separator) becomes a line feed.
std::string decodeUTF8Bytes(const char* bytes, int count);

}  // namespace db
