#pragma once
// The portable preparation of requester arguments and URLs, before the driver sees them.
// The path rules take the separator so that both platforms' forms can be checked.

#include <string>
#include <string_view>
#include <vector>

#include "gui/systemdriver.h"
#include "runtime/path.h"

namespace gui {

struct TInitialPath {
    std::string dir;   // empty when the path has no separator
    std::string name;
};

// The other platform's separator ("/" on Windows) becomes the separator; the text
// before the last one is the directory, the rest the file name.
TInitialPath SplitInitialPath(std::string_view path, char separator = rt::PATH_SEPARATOR);

// The filter group that the path's extension (after its first ".") preselects, from 1;
// 0 when it is in no group or in the last one.
int PreselectedFilterGroup(std::string_view extensions, std::string_view path);

// The native filter text: display names and pattern lists, each ended by a NUL; ""
// for an empty list. "txt,log" gives "Files\0*.txt;*.log\0".
std::string FilterText(std::string_view extensions);
// The same as name/pattern pairs.
std::vector<TFileFilter> FilterGroups(std::string_view extensions);

// The directory requester's start: the other separator replaced, made absolute.
std::string AbsoluteInitialDir(std::string_view path, char separator = rt::PATH_SEPARATOR);

TFileRequest PrepareFileRequest(const std::string& title, const std::string& extensions,
                                int save, const std::string& initialPath);

// "http:", "https:" and "file:" URLs pass unchanged; anything else is a path (with an
// optional "#anchor") that becomes "file:" + absolute path when something exists there,
// else "http:" + the text as given.
std::string NormalizeURL(const std::string& url);

}  // namespace gui
