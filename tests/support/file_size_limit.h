#pragma once
// A full disk for the files this process writes: while the limit lives, a write that would
// make a file larger than it fails (instead of ending the process, as the system would).

#include <cstdint>

namespace testsupport {

class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t previous_;
};

}  // namespace testsupport
