#pragma once
// A fresh temporary directory for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The path of a name below the directory; "/" in the name is the platform's separator.
    std::string operator/(const std::string& name) const;
    // Writes bytes to a file below the directory (parents made) and gives its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

private:
    std::string path_;
};

}  // namespace testsupport
