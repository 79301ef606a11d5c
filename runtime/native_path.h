#pragma once
// std::filesystem paths from the program's UTF-8 paths and back. On Windows the narrow
// forms would pass through the system's code page and lose what it cannot show.

#include <filesystem>
#include <string>

namespace rt {

std::filesystem::path NativePath(const std::string& utf8);
std::string PathText(const std::filesystem::path& path);

}  // namespace rt
