#pragma once
// The stored lists followed in step with the scan. While the scan finds the stored current
// list row for row, nothing needs writing yet; when the scan ends with the whole list found
// and the stored previous list already holds it as the rotation would copy it, the run has
// nothing to write at all. The datafile's lists are read ahead on a thread of their own, so
// that an unchanged run costs the scan little more than its walk.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace db {
class TDBConnection;
}  // namespace db

namespace rt {
class TWorkAhead;
}  // namespace rt

namespace app {

class TListMatch {
public:
    // Reads the lists of the datafile at the path through a connection of its own, ahead of
    // the scan on another thread.
    explicit TListMatch(const std::string& datafile);
    // Reads the lists of this connection on the calling thread.
    explicit TListMatch(db::TDBConnection& lists);
    TListMatch(const TListMatch&) = delete;
    TListMatch& operator=(const TListMatch&) = delete;
    // Waits for a read in progress, so that no read of the lists outlasts the following.
    ~TListMatch();

    // The scan's next row (no identity for a directory): whether the stored current list
    // holds exactly it next. After the first false nothing more is followed.
    bool Next(std::string_view path, const std::string* ident);
    // The rows found so far.
    std::int64_t Found() const { return found_; }
    // After the scan: whether the stored current list holds no row beyond those found.
    bool WholeListFound();
    // Once the whole list was found: whether the stored previous list is the found list as
    // the rotation copies it, and holds nothing beyond it.
    bool PreviousIsTheSame() const;
    // Whether a read of the stored lists failed: what was not read is no difference.
    bool Failed() const;

private:
    struct TReading;
    struct TStoredRow {
        std::string_view path;
        std::string_view ident;
        char form = 0;
    };

    TListMatch(std::shared_ptr<TReading> reading, std::size_t lanes);
    // The stored current list's next row; false after its last.
    bool NextStored(TStoredRow& row);
    // Queues reads of batches until this many are ahead of the one being followed.
    void ReadAhead();
    // The path as the lists store it.
    std::string_view StoredForm(std::string_view path);

    std::shared_ptr<TReading> reading_;
    std::unique_ptr<rt::TWorkAhead> work_;
    std::size_t queued_ = 0;   // batches asked for
    std::size_t taken_ = 0;    // batches taken
    std::string batch_;        // the batch being followed
    std::size_t at_ = 0;       // where its next row starts
    bool listEnded_ = false;
    std::string directory_;        // the directory part of the last path, as scanned
    std::string storedDirectory_;  // and as stored
    std::string stored_;
    std::int64_t found_ = 0;
    bool following_ = true;
};

}  // namespace app
