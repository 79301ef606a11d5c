#include "gui/requestprep.h"

#include "runtime/filesystem.h"
#include "runtime/text.h"

namespace gui {
namespace {

char OtherSeparator(char separator) { return separator == '\\' ? '/' : '\\'; }

// POSIX names may hold a backslash, so only Windows paths are rewritten ("/" to "\").
std::string WithSeparator(std::string_view path, char separator) {
    std::string result(path);
    if (separator == '\\') {
        for (char& c : result) {
            if (c == OtherSeparator(separator)) c = separator;
        }
    }
    return result;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(from, start)) != std::string_view::npos;
         start = at + from.size()) {
        result.append(text.substr(start, at - start)).append(to);
    }
    result.append(text.substr(start));
    return result;
}

bool StartsWithLower(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           rt::ToLowerAscii(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

TInitialPath SplitInitialPath(std::string_view path, char separator) {
    const std::string whole = WithSeparator(path, separator);
    const std::size_t last = whole.rfind(separator);
    if (last == std::string::npos) return {"", whole};
    return {whole.substr(0, last), whole.substr(last + 1)};
}

int PreselectedFilterGroup(std::string_view extensions, std::string_view path) {
    const std::size_t dot = path.find('.');
    if (dot == std::string_view::npos) return 0;
    const std::string wanted = "," + rt::ToLowerAscii(path.substr(dot + 1)) + ",";
    const std::string list =
        ReplaceAll(ReplaceAll(rt::ToLowerAscii(extensions), ":", ":,"), ";", ",;");
    const std::size_t match = list.find(wanted);
    if (match == std::string::npos) return 0;
    if (list.find(';', match) == std::string::npos) return 0;
    int group = 1;
    for (std::size_t i = 0; i < match; ++i) group += list[i] == ';';
    return group;
}

std::string FilterText(std::string_view extensions) {
    if (extensions.empty()) return {};
    const std::string nul(1, '\0');
    std::string text = extensions.find(':') == std::string_view::npos
                           ? "Files" + nul + "*." + std::string(extensions)
                           : ReplaceAll(extensions, ":", nul + "*.");
    text = ReplaceAll(ReplaceAll(text, ";", nul), ",", ";*.");
    return text + nul;
}

std::vector<TFileFilter> FilterGroups(std::string_view extensions) {
    std::vector<std::string> parts;
    const std::string text = FilterText(extensions);
    for (std::size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos;
         start = end + 1) {
        parts.push_back(text.substr(start, end - start));
    }
    // A name without patterns after it (a group written without ":") offers nothing.
    std::vector<TFileFilter> groups;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        groups.push_back({parts[i], parts[i + 1]});
    }
    return groups;
}

std::string AbsoluteInitialDir(std::string_view path, char separator) {
    return rt::AbsolutePath(WithSeparator(path, separator));
}

TFileRequest PrepareFileRequest(const std::string& title, const std::string& extensions,
                                int save, const std::string& initialPath) {
    TFileRequest request;
    request.title = title;
    request.extensions = extensions;
    request.filters = FilterGroups(extensions);
    request.group = PreselectedFilterGroup(extensions, initialPath);
    const TInitialPath initial = SplitInitialPath(initialPath);
    request.initialDir = initial.dir;
    request.initialName = initial.name;
    request.save = save;
    return request;
}

std::string NormalizeURL(const std::string& url) {
    if (StartsWithLower(url, "http:") || StartsWithLower(url, "file:") ||
        StartsWithLower(url, "https:")) {
        return url;
    }
    const std::size_t hash = url.find('#');
    const std::string path = url.substr(0, hash);
    const std::string anchor = hash == std::string::npos ? "" : url.substr(hash);
    const std::string absolute = rt::AbsolutePath(path);
    if (rt::EntryType(absolute) != rt::ENTRY_NONE) return "file:" + absolute + anchor;
    return "http:" + path + anchor;
}

}  // namespace gui
