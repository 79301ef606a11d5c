#include "runtime/native_path.h"

#include "runtime/text.h"

namespace rt {

#ifdef _WIN32
std::filesystem::path NativePath(const std::string& utf8) {
    const std::u16string units = Utf8ToWideName(utf8);
    return std::filesystem::path(std::wstring(units.begin(), units.end()));
}

std::string PathText(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return WideNameToUtf8(std::u16string(wide.begin(), wide.end()));
}
#else
std::filesystem::path NativePath(const std::string& utf8) { return std::filesystem::path(utf8); }

std::string PathText(const std::filesystem::path& path) { return path.string(); }
#endif

}  // namespace rt
