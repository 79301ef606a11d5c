#include "app/link_rule.h"

#include "runtime/filesystem.h"
#include "runtime/path.h"

namespace app {

TLinkRule::TLinkRule(LinkChoice choice, const std::string& dir)
    : choice_(choice), dir_(dir), realDir_(choice == LinkChoice::Inside ? rt::RealPath(dir) : "") {}

bool TLinkRule::Admits(const rt::TDirectory& directory, const std::string& path,
                       const std::string& name) const {
    if (choice_ == LinkChoice::Follow || !directory.IsLink(name)) return true;
    return choice_ == LinkChoice::Inside && LeadsInside(rt::JoinEntryPath(path, name));
}

// The link is resolved from the tree's own resolved path, step by step below it.
bool TLinkRule::LeadsInside(const std::string& entryPath) const {
    if (realDir_.empty() || !entryPath.starts_with(dir_)) return false;
    const std::size_t below = entryPath.find_first_not_of(rt::PATH_SEPARATOR, dir_.size());
    return below != std::string::npos && rt::LeadsInside(realDir_, entryPath.substr(below));
}

}  // namespace app
