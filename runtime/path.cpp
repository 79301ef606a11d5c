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
    return CollapseDoubledSeparators(joined, separator);
}

}  // namespace rt
