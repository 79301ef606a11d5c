#pragma once
// Whole-file text load and save with the log file's encodings.
//
// Load decodes by byte-order mark: FE FF UTF-16BE, FF FE UTF-16LE, EF BB BF UTF-8,
// otherwise every byte is one ISO 8859-1 character. Save writes ISO 8859-1 when every
// character is 255 or less, else FF FE and UTF-16LE, as the file's whole content.

#include <string>
#include <string_view>

namespace rt {

enum class LoadStatus { Loaded, Missing, Failed };

LoadStatus LoadTextFile(const std::string& path, std::string& text);
bool SaveTextFile(const std::string& path, std::string_view text);

// Adds text at the end of a file in the encoding its first bytes show, as a write of the
// bytes added alone. A missing or empty file is saved as SaveTextFile saves it; an ISO
// 8859-1 file that the text does not fit is saved whole as UTF-16LE. False when it fails.
bool AppendTextFile(const std::string& path, std::string_view text);

// The file's bytes as they are; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// The decoding and encoding rules on their own.
std::string DecodeText(std::string_view bytes);
std::string EncodeText(std::string_view text);

// Makes bytes the file's whole content. A plain file of ours is replaced atomically by a
// new one with its mode, owner and group, written beside it under the file's name and
// ".partial" and renamed over it; a write takes over what a killed one left there, and
// writers of one file take turns. A link is followed (it stays a link). A pipe or device,
// a file with other names or another user's file stays the same file and is written in
// place, and so is a writable file whose directory cannot be written to: only the bytes
// that differ are written (a grown log is appended to), and a failed write gives the file
// back its old bytes and length.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);
// What the name of the new file adds to the replaced file's while it is written.
inline constexpr const char* REPLACEMENT_SUFFIX = ".partial";

}  // namespace rt
