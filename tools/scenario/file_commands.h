#pragma once
// What the runner does to the file system on a script's behalf. Each returns false with
// a description when the file system refused.

#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

bool MakeDirectory(const std::string& path, std::string& error);
// Creates or replaces the file with bytes; missing parent directories are made.
bool WriteFile(const std::string& path, std::string_view bytes, std::string& error);
bool AppendFile(const std::string& path, std::string_view bytes, std::string& error);
// SIZE bytes of the same pseudo-random pattern every time (parents made).
bool FillFile(const std::string& path, std::uint64_t size, std::string& error);
// SIZE bytes that read as zeros and take no space where the file system allows it.
bool MakeSparseFile(const std::string& path, std::uint64_t size, std::string& error);
// A file, a link, or a directory with everything below it (made readable first).
bool RemovePath(const std::string& path, std::string& error);
bool RenamePath(const std::string& from, const std::string& to, std::string& error);
bool ChangeMode(int mode, const std::string& path, std::string& error);
bool MakeSymlink(const std::string& target, const std::string& path, std::string& error);

}  // namespace scenario
