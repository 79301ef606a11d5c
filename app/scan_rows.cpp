#include "app/scan_rows.h"

#include "app/application.h"
#include "app/datafile_store.h"
#include "database/sqlite/sqlite.h"

namespace app {

// The datafile's lists are read through a connection of the reader's own, on its thread;
// working lists kept from a failed save only through their one connection.
TScanRows::TScanRows(Application& app) : app_(app) {
    if (db::TDBConnection* followed = FollowedLists(app)) {
        if (followed == app.tdb.get()) {
            match_.emplace(*followed);
        } else {
            match_.emplace(app.run.datafilepath);
        }
    } else {
        lists_.emplace(*app.tdb);
    }
}

TScanRows::~TScanRows() = default;

bool TScanRows::AddMonitoredDirectory(std::string_view path) {
    if (Found(path, nullptr)) return true;
    return WritingLists() == Flow::Continue && lists_->AddDirectory(path);
}

Flow TScanRows::AddDirectory(std::string_view path) { return Add(path, nullptr); }

Flow TScanRows::AddFile(std::string_view path, std::string_view ident) {
    const std::string text(ident);
    return Add(path, &text);
}

Flow TScanRows::Add(std::string_view path, const std::string* ident) {
    if (Found(path, ident)) return Flow::Continue;
    if (WritingLists() == Flow::Stop) return Flow::Stop;
    if (ident) {
        lists_->AddFile(path, *ident);
    } else {
        lists_->AddDirectory(path);
    }
    return Flow::Continue;
}

bool TScanRows::Found(std::string_view path, const std::string* ident) {
    return match_ && match_->Next(path, ident);
}

Flow TScanRows::WritingLists() { return match_ ? Write() : Flow::Continue; }

int TScanRows::KeepPreviousBelow(std::string_view directory) {
    if (WritingLists() == Flow::Stop) return 0;
    return lists_->KeepPreviousBelow(directory);
}

int TScanRows::KeepPrevious(std::string_view entry) {
    if (WritingLists() == Flow::Stop) return 0;
    return lists_->KeepPrevious(entry);
}

Flow TScanRows::Finish() {
    if (!match_) return Flow::Continue;
    auto& run = app_.run;
    run.listunchanged = match_->WholeListFound();
    if (run.listunchanged && match_->PreviousIsTheSame() && WorkingListsSaved(app_)) {
        run.nothingtosave = true;
        match_.reset();
        return Flow::Continue;
    }
    return Write();
}

void TScanRows::Rollback() {
    if (lists_) app_.tdb->rollback();
}

Flow TScanRows::Write() {
    if (match_->Failed()) {
        app_.EndWithError(OLD_DATAFILE_ERROR);
        return Flow::Stop;
    }
    const std::int64_t found = match_->Found();
    // Its reads of the followed lists end before anything writes them.
    match_.reset();
    if (MakeWorkingLists(app_, found) == Flow::Stop) return Flow::Stop;
    lists_.emplace(*app_.tdb);
    return Flow::Continue;
}

}  // namespace app
