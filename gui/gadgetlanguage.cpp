#include "gui/gadgetlanguage.h"

#include <string_view>
#include <vector>

#include "runtime/stream.h"
#include "runtime/text.h"
#include "runtime/textfile.h"

namespace gui {
namespace {

constexpr std::string_view HEADER = "[LanguageDefinition]";
constexpr const char* ID_TOKEN = "languageid";
constexpr const char* WHITESPACE = " \t\r\n\v\f";
constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

std::string EncodeEscapes(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out;
}

std::string DecodeEscapes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (const char c = text[++i]) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            default: out += c;
        }
    }
    return out;
}

struct TEntryLine {
    std::string token;
    std::string text;
};

// Splits "token = text ; comment" at the first "=" outside quotes; false for a line
// without one.
bool SplitEntry(const std::string& line, TEntryLine& entry) {
    std::size_t equals = std::string::npos;
    std::size_t end = line.size();
    bool quoted = false;
    for (std::size_t i = 0; i < line.size() && end == line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && quoted) {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            end = i;
        } else if (c == '=' && !quoted && equals == std::string::npos) {
            equals = i;
        }
    }
    if (equals == std::string::npos || equals > end) return false;
    entry.token = TGadgetLanguage::StripWhitespace(line.substr(0, equals), 1);
    entry.text = DecodeEscapes(
        TGadgetLanguage::StripWhitespace(line.substr(equals + 1, end - equals - 1), 1));
    return !entry.token.empty();
}

bool IsHeaderLine(const std::string& line) {
    return rt::ToLowerAscii(TGadgetLanguage::StripWhitespace(line, 0)) ==
           rt::ToLowerAscii(HEADER);
}

std::vector<std::string> Lines(const std::string& text) {
    const std::string prepared = TGadgetLanguage::Prepare(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < prepared.size()) {
        std::size_t end = prepared.find('\n', start);
        if (end == std::string::npos) end = prepared.size();
        lines.push_back(prepared.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Defines the tokens of the entry lines from `first` up to the end of the section.
void LoadEntryLines(TGadgetLanguage& language, const std::vector<std::string>& lines,
                    std::size_t first) {
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (TGadgetLanguage::StripWhitespace(lines[i], 0).starts_with('[')) return;
        TEntryLine entry;
        if (SplitEntry(lines[i], entry)) language.DefineToken(entry.token, entry.text);
    }
}

// Whether bytes without a byte-order mark are UTF-8: bytes that are not come out of
// the converter as the escapes U+DC80..U+DCFF.
bool IsUtf8(std::string_view bytes) {
    const std::u16string units = rt::Utf8ToUtf16(bytes);
    for (std::size_t i = 0; i < units.size();) {
        const char32_t point = rt::NextCodePoint(units, i);
        if (point >= 0xDC80 && point <= 0xDCFF) return false;
    }
    return true;
}

bool ReadFile(const std::string& path, std::string& bytes) {
    const std::unique_ptr<rt::TReadStream> stream = rt::TReadStream::Open(path);
    if (!stream) return false;
    bytes.resize(static_cast<std::size_t>(stream->Size()));
    bytes.resize(static_cast<std::size_t>(stream->Read(bytes.data(), stream->Size())));
    return true;
}

std::string DecodeLanguageFile(const std::string& bytes) {
    const bool marked = bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xFF\xFE");
    if (!marked && IsUtf8(bytes)) return bytes;
    return rt::DecodeText(bytes);
}

}  // namespace

std::shared_ptr<TGadgetLanguage> TGadgetLanguage::Create(const std::string& name) {
    auto language = std::make_shared<TGadgetLanguage>();
    language->strName = name;
    return language;
}

void TGadgetLanguage::DefineToken(const std::string& token, const std::string& text) {
    mapDictionary[rt::ToLowerAscii(token)] = text;
}

void TGadgetLanguage::RemoveToken(const std::string& token) {
    mapDictionary.erase(rt::ToLowerAscii(token));
}

std::optional<std::string> TGadgetLanguage::LookupToken(const std::string& token) const {
    const auto found = mapDictionary.find(rt::ToLowerAscii(token));
    if (found == mapDictionary.end()) return std::nullopt;
    return found->second;
}

void TGadgetLanguage::LoadEntriesFromText(const std::string& text) {
    LoadEntryLines(*this, Lines(text), 0);
}

std::string TGadgetLanguage::Serialize() const {
    std::string out = std::string(HEADER) + "\r\n";
    out += "LanguageId = \"" + EncodeEscapes(strName) + "\"\r\n";
    for (const auto& [token, text] : mapDictionary) {
        out += token + " = \"" + EncodeEscapes(text) + "\"\r\n";
    }
    return out;
}

std::shared_ptr<TGadgetLanguage> TGadgetLanguage::Deserialize(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsHeaderLine(lines[i])) continue;
        TGadgetLanguage read;
        LoadEntryLines(read, lines, i + 1);
        const std::optional<std::string> id = read.LookupToken(ID_TOKEN);
        if (!id) return nullptr;
        read.RemoveToken(ID_TOKEN);
        strName = *id;
        mapDictionary = std::move(read.mapDictionary);
        return shared_from_this();
    }
    return nullptr;
}

std::shared_ptr<TGadgetLanguage> TGadgetLanguage::LoadLanguage(const std::string& source) {
    std::string bytes;
    const bool found = ReadFile(source, bytes) ||
                       (!source.ends_with(LANGUAGE_FILE_SUFFIX) &&
                        ReadFile(source + LANGUAGE_FILE_SUFFIX, bytes));
    if (!found) return nullptr;
    return Create("")->Deserialize(DecodeLanguageFile(bytes));
}

std::string TGadgetLanguage::StripWhitespace(const std::string& text, int stripQuotes) {
    const std::size_t first = text.find_first_not_of(WHITESPACE);
    if (first == std::string::npos) return {};
    std::string stripped = text.substr(first, text.find_last_not_of(WHITESPACE) - first + 1);
    if (stripQuotes && stripped.size() >= 2 && stripped.front() == '"' && stripped.back() == '"') {
        stripped = stripped.substr(1, stripped.size() - 2);
    }
    return stripped;
}

std::string TGadgetLanguage::Prepare(const std::string& text) {
    std::string_view rest = text;
    if (rest.starts_with(UTF8_MARK)) rest.remove_prefix(UTF8_MARK.size());
    std::string prepared;
    prepared.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '\r') {
            prepared += rest[i];
        } else {
            prepared += '\n';
            if (i + 1 < rest.size() && rest[i + 1] == '\n') ++i;
        }
    }
    return prepared;
}

}  // namespace gui
