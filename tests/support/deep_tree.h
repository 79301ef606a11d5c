#pragma once
// A chain of directories whose bottom lies deeper than the system's path limit. It is made,
// written and removed relative to each directory, since its bottom's path cannot be used.

#include <string>

namespace testsupport {

class DeepTree {
public:
    // `depth` directories named `name` below `parent`, each inside the one before.
    DeepTree(const std::string& parent, const std::string& name, int depth);
    // Removes the chain with everything in it.
    ~DeepTree();
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

    std::string BottomPath() const;
    // Creates or replaces a file in the bottom directory.
    void Write(const std::string& fileName, const std::string& bytes) const;

private:
    std::string top_;
    std::string name_;
    int depth_;
    int bottom_;  // the bottom directory, kept open to write in it
};

}  // namespace testsupport
