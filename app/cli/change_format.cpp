#include "app/cli/change_format.h"

#include <cstdio>

#include "app/comparison.h"
#include "runtime/clock.h"
#include "runtime/text.h"

namespace cli {
namespace {

struct ChangeKindName {
    const char* label;
    const char* name;
};

constexpr ChangeKindName CHANGE_NAMES[] = {
    {app::LABEL_CHANGED, "file changed"},    {app::LABEL_NEW_FILE, "new file"},
    {app::LABEL_NEW_DIR, "new dir"},         {app::LABEL_REMOVED_FILE, "file removed"},
    {app::LABEL_REMOVED_DIR, "dir removed"},
};

bool NeedsUnicodeEscape(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || rt::IsSurrogate(c);
}

void AppendEscaped(std::string& out, char32_t c) {
    switch (c) {
        case U'"': out += "\\\""; return;
        case U'\\': out += "\\\\"; return;
        case U'\n': out += "\\n"; return;
        case U'\r': out += "\\r"; return;
        case U'\t': out += "\\t"; return;
        default: break;
    }
    if (NeedsUnicodeEscape(c)) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        out += escape;
    } else {
        rt::AppendUtf8(out, c);
    }
}

}  // namespace

std::string TextChangeLine(const app::ReportedChange& change) {
    return app::ChangeLine(change.label, change.path, "\n", change.time);
}

std::string JsonChangeLine(const app::ReportedChange& change) {
    return "{\"time\":\"" + rt::FormatLocalTime("%Y-%m-%dT%H:%M:%S", change.time) +
           "\",\"change\":\"" + ChangeName(change.label) +
           "\",\"path\":" + JsonString(change.path) + "}\n";
}

std::string ChangeName(std::string_view label) {
    for (const ChangeKindName& kind : CHANGE_NAMES) {
        if (label == kind.label) return kind.name;
    }
    return std::string(label);
}

std::string JsonString(std::string_view bytes) {
    // Bytes that are not UTF-8 come out of the conversion as lone surrogates, one each.
    const std::u16string units = rt::Utf8ToUtf16(bytes);
    std::string out = "\"";
    for (std::size_t pos = 0; pos < units.size();) {
        AppendEscaped(out, rt::NextCodePoint(units, pos));
    }
    return out + "\"";
}

}  // namespace cli
