#pragma once
// The runtime's UTF-8 paths as the wide-character Win32 calls take them.

#include <windows.h>

#include <string>

namespace rt::win32 {

// UTF-16 as the file system keeps it; names that are not valid UTF-16 survive.
std::wstring Wide(const std::string& utf8);
std::string Narrow(const wchar_t* units, std::size_t count);
inline std::string Narrow(const std::wstring& units) { return Narrow(units.data(), units.size()); }

// The absolute "\\?\" form, which is not bound to MAX_PATH; "/" becomes "\".
std::wstring LongPath(const std::string& utf8);

// Attributes of what the path names, links and junctions followed; false when nothing
// can be reached there.
bool TargetAttributes(const std::string& path, DWORD& attributes, std::int64_t& size);

}  // namespace rt::win32
