#include "app/own_files.h"

#include <algorithm>

#include "app/files_written.h"
#include "app/run_variables.h"
#include "runtime/textfile.h"

namespace app {

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

bool TOwnFiles::Holds(const std::string& path) const {
    if (std::find(paths_.begin(), paths_.end(), path) != paths_.end()) return true;
    rt::FileIdentity identity;
    return rt::EntryType(path) == rt::ENTRY_FILE && rt::FileIdentityOf(path, identity) &&
           HoldsIdentity(identity);
}

}  // namespace app
