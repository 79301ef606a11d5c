#pragma once
// Path rules that are the same on every platform but for the separator.

#include <string>
#include <string_view>

namespace rt {

#ifdef _WIN32
inline constexpr char PATH_SEPARATOR = '\\';
#else
inline constexpr char PATH_SEPARATOR = '/';
#endif

// Replaces every pair of separators by one, in one left-to-right non-overlapping pass.
std::string CollapseDoubledSeparators(std::string_view text, char separator);

// directory + separator + name, with doubled separators collapsed: under a root
// ("C:\" or "/") the entry reads "C:\name" or "/name".
std::string JoinEntryPath(std::string_view directory, std::string_view name,
                          char separator = PATH_SEPARATOR);

// The file: URL of an absolute path ("/a b" gives "file:///a%20b"): every byte but the
// unreserved ones and the separator is escaped, so blanks, "#" and any name survive.
std::string FileURL(std::string_view absolutePath, char separator = PATH_SEPARATOR);

}  // namespace rt
