#include "runtime/program.h"

#include <malloc.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <vector>

#include "runtime/filesystem.h"
#include "runtime/win32/win32_paths.h"

namespace rt {
namespace {

// Taken before main runs, so before the program can change directory.
const std::string launchDir = CurrentDir();

}  // namespace

std::string ProgramFile() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return win32::Narrow(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramDir() {
    const std::string file = ProgramFile();
    const std::size_t separator = file.rfind('\\');
    if (separator == std::string::npos) return {};
    // A drive root keeps its separator: "C:\".
    return separator == 2 && file[1] == ':' ? file.substr(0, 3) : file.substr(0, separator);
}

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> utf8;
    for (int i = 1; i < count; ++i) utf8.push_back(win32::Narrow(arguments[i], wcslen(arguments[i])));
    LocalFree(arguments);
    return utf8;
}

std::string LaunchDir() { return launchDir; }

std::uint64_t AllocatedMemory() {
    std::uint64_t used = 0;
    _HEAPINFO entry{};
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY) used += entry._size;
    return used;
}

}  // namespace rt
