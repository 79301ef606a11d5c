#include "tests/support/deep_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace testsupport {

DeepTree::DeepTree(const std::string& parent, const std::string& name, int depth)
    : top_(parent + "/" + name), name_(name), depth_(depth) {
    int at = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < depth && at >= 0; ++level) {
        mkdirat(at, name.c_str(), 0755);
        const int below = openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(at);
        at = below;
    }
    if (at < 0) throw std::runtime_error("cannot make the deep tree below " + parent);
    bottom_ = at;
}

DeepTree::~DeepTree() {
    close(bottom_);
    // rm walks relative to each directory too, so it removes what no path can name.
    std::system(("rm -rf '" + top_ + "'").c_str());
}

std::string DeepTree::BottomPath() const {
    std::string path = top_;
    for (int level = 1; level < depth_; ++level) path += "/" + name_;
    return path;
}

void DeepTree::Write(const std::string& fileName, const std::string& bytes) const {
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    const int fd = openat(bottom_, fileName.c_str(), flags, 0644);
    const bool written = fd >= 0 && write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    if (fd >= 0) close(fd);
    if (!written) throw std::runtime_error("cannot write " + fileName + " in the deep tree");
}

}  // namespace testsupport
