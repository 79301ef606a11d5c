#include "app/comparison.h"

#include "app/application.h"
#include "app/poll_step.h"
#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "gui/gui.h"
#include "runtime/clock.h"
#include "runtime/filesystem.h"
#include "runtime/text.h"
#include "runtime/textfile.h"

namespace app {

std::string ChangeLine(const char* label, std::string_view path, const char* lineEnd) {
    std::string line = rt::FormatLocalTime("%d %b %Y %H:%M:%S");
    line += label;
    line += path;
    line += lineEnd;
    return line;
}

std::string WithoutCarriageReturns(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != '\r') result += c;
    }
    return result;
}

namespace {

class ListComparison {
public:
    explicit ListComparison(Application& app) : app_(app), run_(app.run), tdb_(*app.tdb) {}

    void Run() {
        const bool logReadable = PreloadLog();
        auto current = tdb_.executeQuery(sql::SELECT_CURRENT_ROWS);
        if (tdb_.hasError()) {
            app_.ShowStatus(OLD_DATAFILES_ERROR);
            run_.Fail();
            return;
        }
        if (AdditionPass(*current)) RemovalPass();
        if (run_.logchosen && logReadable) WriteLog();
    }

private:
    // Loads an existing log file into `logtext` and shows it; false when it exists but
    // cannot be read, so that it is not overwritten with a partial log.
    bool PreloadLog() {
        if (!run_.logchosen || rt::EntryType(run_.logpath) != rt::ENTRY_FILE) return true;
        std::string text;
        const rt::LoadStatus status = rt::LoadTextFile(run_.logpath, text);
        if (status == rt::LoadStatus::Failed) {
            ShowError("Failed to read log file " + run_.logpath);
            return false;
        }
        if (status == rt::LoadStatus::Loaded) {
            run_.logtext += text;
            gui::PutGadgetText(app_.gadgets.reportArea, WithoutCarriageReturns(run_.logtext));
        }
        return true;
    }

    // False when the user asked to stop.
    bool AdditionPass(db::TDatabaseQuery& rows) {
        while (rows.nextRow()) {
            run_.progcur += 1;
            const auto row = rows.rowRecord();
            const std::string path = row->getString(1);
            const std::string ident = row->getString(2);
            const std::string shown = ShowRowPath(path);
            auto previous = tdb_.executeQuery(sql::LookupPrevious(path));
            if (previous->nextRow()) {
                if (previous->rowRecord()->getString(1) != ident) Emit(LABEL_CHANGED, shown);
            } else {
                Emit(ident.empty() ? LABEL_NEW_DIR : LABEL_NEW_FILE, shown);
            }
            if (!EndOfRow()) return false;
        }
        return true;
    }

    void RemovalPass() {
        auto rows = tdb_.executeQuery(sql::SELECT_PREVIOUS_ROWS);
        while (rows->nextRow()) {
            run_.progcur += 1;
            const auto row = rows->rowRecord();
            const std::string path = row->getString(1);
            const std::string ident = row->getString(2);
            const std::string shown = ShowRowPath(path);
            if (!tdb_.executeQuery(sql::LookupCurrent(path))->nextRow()) {
                Emit(ident.empty() ? LABEL_REMOVED_DIR : LABEL_REMOVED_FILE, shown);
            }
            if (!EndOfRow()) return;
        }
    }

    // Progress and one poll step after every row; false when the user asked to stop.
    bool EndOfRow() {
        app_.ShowProgress(run_.progcur, run_.progtotal);
        if (PollStep(app_) == PollResult::StopRequest) {
            run_.RequestStop();
            return false;
        }
        return true;
    }

    // Shows the row's path in the status bar and gives it for the report: paths are stored
    // with some bytes escaped, and both show the real name.
    std::string ShowRowPath(const std::string& storedPath) {
        std::string path = rt::UnescapeNonUtf8(storedPath);
        app_.ShowStatusBar(path);
        return path;
    }

    void Emit(const char* label, const std::string& path) {
        gui::AppendAreaText(app_.gadgets.reportArea, ChangeLine(label, path, "\n"));
        if (run_.logchosen) run_.logtext += ChangeLine(label, path, "\r\n");
    }

    void WriteLog() {
        if (!rt::SaveTextFile(run_.logpath, run_.logtext)) {
            ShowError("Failed to write log file " + run_.logpath);
        }
    }

    void ShowError(const std::string& text) {
        app_.ShowStatus(text);
        run_.errorshown = true;
    }

    Application& app_;
    RunVariables& run_;
    db::TDBConnection& tdb_;
};

}  // namespace

void CompareLists(Application& app) {
    ListComparison(app).Run();
}

}  // namespace app
