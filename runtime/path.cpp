#include "runtime/path.h"

namespace rt {

std::string CollapseDoubledSeparators(std::string_view text, char separator) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.push_back(text[i]);
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator) ++i;
    }
    return out;
}

std::string JoinEntryPath(std::string_view directory, std::string_view name, char separator) {
    std::string joined;
    joined.reserve(directory.size() + 1 + name.size());
    joined.append(directory).push_back(separator);
    joined.append(name);
    // Most paths have none: they go out as joined, without a second copy.
    const char doubled[] = {separator, separator};
    if (joined.find(std::string_view(doubled, 2)) == std::string::npos) return joined;
    return CollapseDoubledSeparators(joined, separator);
}

std::string FileURL(std::string_view absolutePath, char separator) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string url = "file://";
    // "C:\x" becomes "file:///C:/x" (a drive letter keeps its colon); "/x" is already rooted.
    if (absolutePath.empty() || absolutePath.front() != separator) url.push_back('/');
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == separator) {
            url.push_back('/');
        } else if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                   (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                   (c == ':' && separator == '\\')) {
            url.push_back(c);
        } else {
            url.push_back('%');
            url.push_back(HEX[byte >> 4]);
            url.push_back(HEX[byte & 0xF]);
        }
    }
    return url;
}

}  // namespace rt
