#pragma once
// Which links the scan follows. The window follows every link; a job run as root over a
// tree that other users can write to follows only those that stay inside the tree, so
// that a planted link cannot bring names from elsewhere into its datafile and log.

#include <string>

#include "app/run_variables.h"

namespace rt {
class TDirectory;
}  // namespace rt

namespace app {

class TLinkRule {
public:
    // For the scan of the tree of `dir`, as chosen.
    TLinkRule(LinkChoice choice, const std::string& dir);

    // Whether the scan may go on to the named entry of `directory`, the directory at
    // `path`: anything that is not a link, and a link as the choice allows. What a link
    // leads to is not looked at unless it lies inside the tree.
    bool Admits(const rt::TDirectory& directory, const std::string& path,
                const std::string& name) const;

private:
    bool LeadsInside(const std::string& entryPath) const;

    LinkChoice choice_;
    std::string dir_;
    // The tree's path with every link on it resolved; empty when it cannot be resolved.
    std::string realDir_;
};

}  // namespace app
