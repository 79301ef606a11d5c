#pragma once
// An advisory lock on a file, held by one program at a time: copies of this program that
// update the same datafile or log file take turns through it. Other readers and writers
// of the file are not held back.

#include <cstdint>
#include <memory>
#include <string>

namespace rt {

class TFileLock {
public:
    enum class Outcome { Held, Busy, Missing, Failed };

    // Locks the regular file at the path, waiting up to timeoutMs while another holder has
    // it. A file that another holder replaced meanwhile is locked in its new form. With
    // create, a missing file is created empty first (its owner's alone, as every file the
    // program makes). Null unless the outcome is Held: Busy when the wait timed out,
    // Missing when nothing is there, Failed for anything else (a pipe or device, a file
    // that cannot be opened).
    static std::unique_ptr<TFileLock> Acquire(const std::string& path, bool create,
                                              std::uint32_t timeoutMs, Outcome& outcome);
    // Whether the locked file is still the one at the path (not removed or replaced since).
    bool Holds(const std::string& path) const;
    // Releases the lock.
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

private:
    explicit TFileLock(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;  // a file descriptor, or a Windows file handle
};

}  // namespace rt
