#pragma once
// Direct access to a datafile, beside the application: reading a table's rows for an
// expectation, and running a statement to prepare a datafile of some other shape.

#include <string>
#include <vector>

namespace scenario {

// The table's rows "order by id asc" as "file|ident", "<NULL>" standing for NULL.
bool ReadFileRows(const std::string& path, const std::string& table,
                  std::vector<std::string>& rows, std::string& error);

// Opens (creating when needed) the database file and runs the statements.
bool RunStatements(const std::string& path, const std::string& statements, std::string& error);

}  // namespace scenario
