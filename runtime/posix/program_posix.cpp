#include "runtime/program.h"

#include <malloc.h>
#include <unistd.h>

#include <vector>

#include "runtime/filesystem.h"

namespace rt {
namespace {

// Taken before main runs, so before the program can change directory.
const std::string launchDir = CurrentDir();

}  // namespace

std::string ProgramFile() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramDir() {
    const std::string file = ProgramFile();
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : file.substr(0, slash);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string LaunchDir() { return launchDir; }

std::uint64_t AllocatedMemory() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace rt
