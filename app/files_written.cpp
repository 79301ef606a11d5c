#include "app/files_written.h"

#include "app/log_marker.h"
#include "runtime/textfile.h"

namespace app {

std::string JournalPath(const std::string& database) { return database + "-journal"; }

std::string PartialDatafilePath(const std::string& datafile) {
    return datafile + rt::REPLACEMENT_SUFFIX;
}

std::vector<std::string> FilesWritten(const std::string& datafile, const std::string& log) {
    const std::string marker = LogMarkerPath(datafile);
    return {datafile,
            JournalPath(datafile),
            PartialDatafilePath(datafile),
            JournalPath(PartialDatafilePath(datafile)),
            // SQLite's, while a datafile that another program switched to write-ahead
            // logging is loaded or saved.
            datafile + "-wal",
            datafile + "-shm",
            marker,
            marker + rt::REPLACEMENT_SUFFIX,
            log,
            log + rt::REPLACEMENT_SUFFIX};
}

}  // namespace app
