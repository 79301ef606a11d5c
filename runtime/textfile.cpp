#include "runtime/textfile.h"

#include <algorithm>

#include "runtime/filesystem.h"
#include "runtime/stream.h"
#include "runtime/text.h"

namespace rt {
namespace {

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first)));
    }
    return Utf16ToUtf8(units);
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

std::string Utf16Bytes(std::string_view text, bool bigEndian) {
    std::string bytes;
    for (char16_t unit : Utf8ToUtf16(text)) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

// The text in the encoding the file's first bytes show; false when it is ISO 8859-1 and
// the text does not fit.
bool EncodeLike(std::string_view head, std::string_view text, std::string& bytes) {
    if (StartsWith(head, "\xFE\xFF")) {
        bytes = Utf16Bytes(text, true);
    } else if (StartsWith(head, "\xFF\xFE")) {
        bytes = Utf16Bytes(text, false);
    } else if (StartsWith(head, "\xEF\xBB\xBF")) {
        bytes = std::string(text);
    } else {
        return Utf8ToLatin1(text, bytes);
    }
    return true;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    auto stream = TReadStream::Open(path);
    if (!stream) return false;
    bytes.resize(static_cast<std::size_t>(stream->Size()));
    std::int64_t done = 0;
    while (done < stream->Size()) {
        const std::int64_t n = stream->Read(bytes.data() + done, stream->Size() - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

std::string DecodeText(std::string_view bytes) {
    if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
    if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
    if (StartsWith(bytes, "\xEF\xBB\xBF")) return std::string(bytes.substr(3));
    return Latin1ToUtf8(bytes);
}

std::string EncodeText(std::string_view text) {
    std::string latin1;
    if (Utf8ToLatin1(text, latin1)) return latin1;
    return "\xFF\xFE" + Utf16Bytes(text, false);
}

LoadStatus LoadTextFile(const std::string& path, std::string& text) {
    text.clear();
    // Only "nothing is there" is a missing file: one that cannot be examined may hold text
    // that a rewrite would lose.
    const EntryStatus status = QueryPath(path);
    if (status.Absent()) return LoadStatus::Missing;
    if (!status.Answered()) return LoadStatus::Failed;
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return LoadStatus::Failed;
    text = DecodeText(bytes);
    return LoadStatus::Loaded;
}

bool SaveTextFile(const std::string& path, std::string_view text) {
    return ReplaceFileContents(path, EncodeText(text));
}

bool AppendTextFile(const std::string& path, std::string_view text) {
    const EntryStatus status = QueryPath(path);
    if (!status.Answered()) return false;
    if (status.Absent()) return SaveTextFile(path, text);
    if (status.kind != ENTRY_FILE) return false;
    auto head = TReadStream::Open(path);
    const std::int64_t size = head ? head->Size() : 0;
    std::string bytes(3, '\0');
    bytes.resize(static_cast<std::size_t>(
        head ? std::max<std::int64_t>(head->Read(bytes.data(), 3), 0) : 0));
    head.reset();
    std::string added;
    if (size == 0 || !EncodeLike(bytes, text, added)) {
        std::string whole;
        if (LoadTextFile(path, whole) == LoadStatus::Failed) return false;
        return SaveTextFile(path, whole + std::string(text));
    }
    auto file = TPatchStream::Open(path);
    return file && file->WriteAt(size, added);
}

}  // namespace rt
