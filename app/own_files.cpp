#include "app/own_files.h"

#include <algorithm>

#include "app/files_written.h"
#include "app/run_variables.h"
#include "runtime/path.h"
#include "runtime/textfile.h"

namespace app {
namespace {

std::string_view NameOf(std::string_view path) {
    const std::size_t separator = path.rfind(rt::PATH_SEPARATOR);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

void TOwnFiles::Note(const RunVariables& run) {
    const std::string log = run.logchosen ? rt::AbsolutePath(run.logpath) : std::string();
    paths_ = FilesWritten(rt::AbsolutePath(run.datafilepath), log);
    // Without a log, the names it would have are nobody's.
    if (!run.logchosen) {
        std::erase_if(paths_, [](const std::string& path) {
            return path.empty() || path == rt::REPLACEMENT_SUFFIX;
        });
    }
    identities_.clear();
    for (const std::string& path : paths_) {
        rt::FileIdentity identity;
        if (rt::FileIdentityOf(path, identity)) identities_.push_back(identity);
    }
}

bool TOwnFiles::HoldsIdentity(const rt::FileIdentity& identity) const {
    return std::find(identities_.begin(), identities_.end(), identity) != identities_.end();
}

bool TOwnFiles::Holds(std::string_view directory, std::string_view name) const {
    // However it is reached (a directory link, not a hard link under another name), an own
    // file keeps its name: an entry of any other name is none, and needs no path or query.
    const bool ownName = std::any_of(paths_.begin(), paths_.end(),
                                     [&](const std::string& own) { return NameOf(own) == name; });
    if (!ownName) return false;
    const std::string path = rt::JoinEntryPath(directory, name);
    if (std::find(paths_.begin(), paths_.end(), path) != paths_.end()) return true;
    rt::FileIdentity identity;
    return rt::EntryType(path) == rt::ENTRY_FILE && rt::FileIdentityOf(path, identity) &&
           HoldsIdentity(identity);
}

}  // namespace app
