#pragma once
// The life of one scenario process: its scratch directory and the single way it ends,
// whichever thread gets there first (the application's hooks or the time limit).

#include <mutex>
#include <string>

namespace scenario {

enum TExitCode : int { EXIT_PASSED = 0, EXIT_FAILED = 1, EXIT_TIMED_OUT = 2 };

class TSession {
public:
    // root: the directory $ROOT stands for; removed at the end when owned and not kept.
    TSession(std::string root, bool ownsRoot, bool keep);

    const std::string& Root() const { return root_; }

    // Prints the message (to stdout when passed, else stderr), tidies up and ends the
    // process at once; other threads of the application are not waited for.
    [[noreturn]] void End(int code, const std::string& message);

private:
    std::string root_;
    bool ownsRoot_;
    bool keep_;
    std::mutex ending_;
};

// A fresh, empty directory in the system's temporary directory; empty on failure.
std::string MakeScratchDirectory(std::string& error);

}  // namespace scenario
