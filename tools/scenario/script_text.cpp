#include "tools/scenario/script_text.h"

#include "runtime/text.h"

namespace scenario {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// U+DC80..U+DCFF stand for single bytes that are not UTF-8, as in file names.
bool IsByteEscape(char32_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// Reads the text character by character, turning escapes and placeholders into their
// values. The caller decides what blanks and quotes mean.
class TExpander {
public:
    TExpander(std::string_view text, const TPlaceholders& placeholders)
        : text_(text), placeholders_(placeholders) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return text_[pos_]; }
    void Skip() { ++pos_; }
    const std::string& Error() const { return error_; }

    // Appends the value of the element at the current position (an escape, a
    // placeholder or a plain character) to out.
    bool TakeInto(std::string& out) {
        if (TakePlaceholder("$ROOT", placeholders_.root, out) ||
            TakePlaceholder("$SEP", placeholders_.separator, out)) {
            return true;
        }
        // Scripts write paths with "/"; where the separator differs, that is what it means.
        if (text_[pos_] == '/' && !placeholders_.separator.empty()) {
            out += placeholders_.separator;
            ++pos_;
            return true;
        }
        if (text_[pos_] != '\\') {
            out += text_[pos_++];
            return true;
        }
        return TakeEscape(out);
    }

private:
    bool TakePlaceholder(std::string_view name, const std::string& value, std::string& out) {
        if (text_.substr(pos_, name.size()) != name) return false;
        out += value;
        pos_ += name.size();
        return true;
    }

    bool TakeEscape(std::string& out) {
        if (pos_ + 1 >= text_.size()) return Fail("a backslash ends the line");
        char kind = text_[pos_ + 1];
        pos_ += 2;
        switch (kind) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': return TakeUnicodeEscape(out);
        default: return Fail(std::string("unknown escape \\") + kind);
        }
    }

    bool ReadHexUnit(char32_t& unit) {
        if (pos_ + 4 > text_.size()) return Fail("\\u needs four hex digits");
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            int digit = HexDigitValue(text_[pos_ + i]);
            if (digit < 0) return Fail("\\u needs four hex digits");
            unit = unit * 16 + static_cast<char32_t>(digit);
        }
        pos_ += 4;
        return true;
    }

    // A surrogate pair written as two escapes gives one character.
    bool TakeUnicodeEscape(std::string& out) {
        char32_t unit = 0;
        if (!ReadHexUnit(unit)) return false;
        if (rt::IsHighSurrogate(unit)) {
            char32_t low = 0;
            if (text_.substr(pos_, 2) != "\\u") return Fail("a high surrogate needs a low one");
            pos_ += 2;
            if (!ReadHexUnit(low)) return false;
            if (!rt::IsLowSurrogate(low)) return Fail("a high surrogate needs a low one");
            unit = rt::CombineSurrogates(unit, low);
        } else if (rt::IsLowSurrogate(unit) && !IsByteEscape(unit)) {
            return Fail("a lone low surrogate");
        }
        rt::AppendUtf8(out, unit);
        return true;
    }

    bool Fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    std::string_view text_;
    const TPlaceholders& placeholders_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool SplitArguments(std::string_view line, const TPlaceholders& placeholders,
                    std::vector<std::string>& arguments, std::string& error) {
    arguments.clear();
    TExpander reader(line, placeholders);
    while (true) {
        while (!reader.AtEnd() && IsBlank(reader.Peek())) reader.Skip();
        if (reader.AtEnd()) return true;
        std::string argument;
        bool quoted = false;
        while (!reader.AtEnd() && (quoted || !IsBlank(reader.Peek()))) {
            if (reader.Peek() == '"') {
                quoted = !quoted;
                reader.Skip();
            } else if (!reader.TakeInto(argument)) {
                error = reader.Error();
                return false;
            }
        }
        if (quoted) {
            error = "a quoted argument is not closed";
            return false;
        }
        arguments.push_back(std::move(argument));
    }
}

bool ExpandBlockLine(std::string_view line, const TPlaceholders& placeholders,
                     std::string& expanded, std::string& error) {
    expanded.clear();
    TExpander reader(line, placeholders);
    while (!reader.AtEnd()) {
        if (!reader.TakeInto(expanded)) {
            error = reader.Error();
            return false;
        }
    }
    return true;
}

}  // namespace scenario
