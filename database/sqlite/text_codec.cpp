#include "database/sqlite/text_codec.h"

#include <cstring>

namespace db {

std::string decodeUTF8(const char* bytes) {
    return bytes ? decodeUTF8Bytes(bytes, static_cast<int>(std::strlen(bytes))) : std::string();
}

std::string decodeUTF8Bytes(const char* bytes, int count) {
    std::string out;
    if (!bytes || count <= 0) return out;
    std::string_view in(bytes, static_cast<std::size_t>(count));
    out.reserve(in.size());
    // Copies runs of plain bytes whole; only NUL and E2 80 A9 (U+2029) need a change.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\0') {
            out.append(in, runStart, i - runStart);
            runStart = i + 1;
        } else if (in[i] == '\xE2' && in.substr(i, 3) == "\xE2\x80\xA9") {
            out.append(in, runStart, i - runStart);
            out += '\n';
            i += 2;
            runStart = i + 1;
        }
    }
    out.append(in, runStart);
    return out;
}

}  // namespace db
