#pragma once
// Where the scan's rows go. While the scan finds the stored list row for row they are only
// compared with it, and nothing is written; at the first row it does not hold next, the
// working lists are made (the stored list rotated as ever, the rows found so far kept) and
// every row from there on is written into them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/entry_lists.h"
#include "app/flow.h"
#include "app/list_match.h"

namespace app {

struct Application;

class TScanRows {
public:
    // Follows the stored lists the run prepared, or writes into the working lists when it
    // made them (a first run).
    explicit TScanRows(Application& app);
    TScanRows(const TScanRows&) = delete;
    TScanRows& operator=(const TScanRows&) = delete;
    ~TScanRows();

    // The monitored directory's row, the first: false when it could not be written, or
    // the working lists could not be made or making them was stopped (the run's flags say so).
    bool AddMonitoredDirectory(std::string_view path);
    // The other rows. Stop when the working lists could not be made, or making them was
    // stopped; a row that could not be written is left out.
    Flow AddDirectory(std::string_view path);
    Flow AddFile(std::string_view path, std::string_view ident);
    // The previous rows below a directory that could not be read, kept in this list; the
    // number of rows kept.
    int KeepPreviousBelow(std::string_view directory);
    // The same for an entry that could not be examined: its own row too.
    int KeepPrevious(std::string_view entry);
    // The scan is complete: the working lists are made unless the scan found the stored
    // list unchanged and the stored previous list already holds it too.
    Flow Finish();
    // A stop during the scan: what was written is rolled back.
    void Rollback();

private:
    Flow Add(std::string_view path, const std::string* ident);
    // Whether the stored list holds the row next, while it is followed.
    bool Found(std::string_view path, const std::string* ident);
    // The working lists, made now when the stored list was followed so far.
    Flow WritingLists();
    // Ends the following: makes the working lists with the rows found so far.
    Flow Write();

    Application& app_;
    std::optional<TListMatch> match_;
    std::optional<TEntryLists> lists_;
};

}  // namespace app
