#pragma once
// The files the program writes itself (the datafile, its journal and marker, the log): the
// scan leaves them out, and their change events never start a run of --watch. Known by
// path, and by identity for the same file reached another way.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/filesystem.h"

namespace app {

struct RunVariables;

class TOwnFiles {
public:
    // Their paths and the identities of those there now.
    void Note(const RunVariables& run);
    bool HoldsIdentity(const rt::FileIdentity& identity) const;
    // Whether the entry of the directory (absolute) is one of them, or a file that is one
    // of them.
    bool Holds(std::string_view directory, std::string_view name) const;

private:
    std::vector<std::string> paths_;
    std::vector<rt::FileIdentity> identities_;
};

}  // namespace app
