#include "tools/scenario/session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "runtime/filesystem.h"
#include "runtime/native_path.h"
#include "tools/scenario/file_commands.h"

namespace scenario {

TSession::TSession(std::string root, bool ownsRoot, bool keep)
    : root_(std::move(root)), ownsRoot_(ownsRoot), keep_(keep) {}

void TSession::End(int code, const std::string& message) {
    ending_.lock();  // held until the process is gone: nobody else may end it meanwhile
    std::FILE* out = code == EXIT_PASSED ? stdout : stderr;
    if (!message.empty()) std::fprintf(out, "%s\n", message.c_str());
    std::fflush(out);
    if (ownsRoot_ && keep_) {
        std::printf("scenario root kept: %s\n", root_.c_str());
    } else if (ownsRoot_) {
        // Windows removes no directory that is a process's current one.
        rt::ChangeDir(rt::PathText(rt::NativePath(root_).parent_path()));
        std::string error;
        if (!RemovePath(root_, error)) std::fprintf(stderr, "%s\n", error.c_str());
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

std::string MakeScratchDirectory(std::string& error) {
    namespace fs = std::filesystem;
    std::error_code code;
    const fs::path base = fs::temp_directory_path(code);
    if (code) {
        error = "no temporary directory: " + code.message();
        return {};
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "tervala-scenario-%08llx",
                      static_cast<unsigned long long>(random() & 0xffffffffULL));
        const fs::path candidate = fs::absolute(base / name);
        if (fs::create_directory(candidate, code)) return rt::PathText(candidate);
        if (code) break;
    }
    error = "cannot make a scratch directory in " + base.string() +
            (code ? ": " + code.message() : std::string());
    return {};
}

}  // namespace scenario
