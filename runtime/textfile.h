#pragma once
// Whole-file text load and save with the log file's encodings.
//
// Load decodes by byte-order mark: FE FF UTF-16BE, FF FE UTF-16LE, EF BB BF UTF-8,
// otherwise every byte is one ISO 8859-1 character. Save writes ISO 8859-1 when every
// character is 255 or less, else FF FE and UTF-16LE; it replaces the file atomically.

#include <string>
#include <string_view>

namespace rt {

enum class LoadStatus { Loaded, Missing, Failed };

LoadStatus LoadTextFile(const std::string& path, std::string& text);
bool SaveTextFile(const std::string& path, std::string_view text);

// The decoding and encoding rules on their own.
std::string DecodeText(std::string_view bytes);
std::string EncodeText(std::string_view text);

// Writes bytes to a temporary file beside path, then renames it over path. A link is
// followed (it stays a link); a writable file in a directory that cannot be written to is
// rewritten in place, the one case where a crash could leave it half written.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace rt
