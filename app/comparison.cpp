#include "app/comparison.h"

#include "app/application.h"
#include "app/entry_lists.h"
#include "app/poll_step.h"
#include "database/sqlite/sqlite.h"
#include "runtime/clock.h"
#include "runtime/filesystem.h"
#include "runtime/text.h"
#include "runtime/textfile.h"

namespace app {

std::string ChangeLine(const char* label, std::string_view path, const char* lineEnd,
                       std::time_t when) {
    std::string line = rt::FormatLocalTime("%d %b %Y %H:%M:%S", when);
    line += label;
    // One change is one line, whatever the name holds.
    line += rt::EscapeControlCharacters(path);
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
    explicit ListComparison(Application& app) : app_(app), run_(app.run) {}

    void Run() {
        const bool logReadable = PreloadLog();
        // A list the scan found row for row has nothing to report.
        if (!run_.listunchanged) {
            TEntryLists lists(*app_.tdb);
            auto current = lists.ReadCurrent();
            if (!current) {
                app_.EndWithError(OLD_DATAFILES_ERROR);
                return;
            }
            if (AdditionPass(lists, *current) == Flow::Continue) RemovalPass(lists);
        }
        if (run_.logchosen) WriteLog(logReadable);
    }

private:
    // Loads an existing log file into `logtext` and shows it, then adds the lines earlier
    // writes could not save; false when the file exists but cannot be read, so that it is
    // not overwritten with a partial log.
    bool PreloadLog() {
        if (!run_.logchosen) return true;
        const bool readable = LoadLog();
        loadedLength_ = run_.logtext.size();
        run_.logtext += run_.unwrittenlog;
        return readable;
    }

    bool LoadLog() {
        if (rt::EntryType(run_.logpath) != rt::ENTRY_FILE) return true;
        std::string text;
        const rt::LoadStatus status = rt::LoadTextFile(run_.logpath, text);
        if (status == rt::LoadStatus::Failed) {
            app_.ShowError(Status("Failed to read log file {path}"), run_.logpath);
            return false;
        }
        if (status == rt::LoadStatus::Loaded) {
            run_.logtext += text;
            app_.ShowReport(WithoutCarriageReturns(run_.logtext + run_.unwrittenlog));
        }
        return true;
    }

    Flow AdditionPass(TEntryLists& lists, TListReader& rows) {
        while (rows.Next()) {
            run_.progcur += 1;
            app_.ShowStatusBar(rows.Path());
            if (const auto previousIdent = lists.PreviousIdentOf(rows)) {
                if (*previousIdent != rows.Ident()) Emit(LABEL_CHANGED, rows.Path());
            } else {
                Emit(rows.Ident().empty() ? LABEL_NEW_DIR : LABEL_NEW_FILE, rows.Path());
            }
            if (EndOfRow() == Flow::Stop) return Flow::Stop;
        }
        lists.CurrentListAsked();
        return Flow::Continue;
    }

    void RemovalPass(TEntryLists& lists) {
        TListReader rows = lists.ReadPrevious();
        while (rows.Next()) {
            run_.progcur += 1;
            app_.ShowStatusBar(rows.Path());
            if (!lists.InCurrent(rows)) {
                Emit(rows.Ident().empty() ? LABEL_REMOVED_DIR : LABEL_REMOVED_FILE, rows.Path());
            }
            if (EndOfRow() == Flow::Stop) return;
        }
    }

    // Progress and one poll step after every row.
    Flow EndOfRow() {
        app_.ShowProgress(run_.progcur, run_.progtotal);
        if (PollStep(app_) == Flow::Stop) {
            run_.RequestStop();
            return Flow::Stop;
        }
        return Flow::Continue;
    }

    // The log line reads the clock again, as the report line did.
    void Emit(const char* label, const std::string& path) {
        const std::time_t now = std::time(nullptr);
        app_.AppendReport(ChangeLine(label, path, "\n", now));
        app_.NotifyChange({label, path, now});
        if (run_.logchosen) run_.logtext += ChangeLine(label, path, "\r\n", std::time(nullptr));
    }

    // Lines a failed write could not save are kept for the next write; a log that could
    // not be read is not written, and its lines are kept the same way.
    void WriteLog(bool logReadable) {
        if (logReadable && rt::SaveTextFile(run_.logpath, run_.logtext)) {
            run_.unwrittenlog.clear();
            return;
        }
        if (logReadable) app_.ShowError(Status("Failed to write log file {path}"), run_.logpath);
        run_.unwrittenlog = run_.logtext.substr(loadedLength_);
    }

    Application& app_;
    RunVariables& run_;
    // How much of `logtext` the log file held when it was loaded.
    std::size_t loadedLength_ = 0;
};

}  // namespace

void CompareLists(Application& app) {
    ListComparison(app).Run();
}

}  // namespace app
