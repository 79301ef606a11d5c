#pragma once
// The files the program writes: the datafile and the log file the user chose, and the ones
// it makes beside them, each named by what it adds to their names. The user guide lists
// every one, and a test holds it to this list.

#include <string>
#include <vector>

namespace app {

// SQLite's rollback journal of a database file while a save replaces it.
std::string JournalPath(const std::string& database);
// A datafile's save, renamed into place once whole.
std::string PartialDatafilePath(const std::string& datafile);

// Every file the program may write, given the datafile's and the log file's names.
std::vector<std::string> FilesWritten(const std::string& datafile, const std::string& log);

}  // namespace app
