#include "app/comparison.h"

#include <optional>

#include "app/application.h"
#include "app/change_teller.h"
#include "app/entry_lists.h"
#include "app/log_marker.h"
#include "app/poll_step.h"
#include "database/sqlite/sqlite.h"
#include "runtime/clock.h"
#include "runtime/file_lock.h"
#include "runtime/filesystem.h"
#include "runtime/text.h"
#include "runtime/textfile.h"

namespace app {

namespace {

// A burst tells thousands of lines in the same second: its text is made once.
const std::string& TimeText(std::time_t when) {
    thread_local std::time_t madeFor = -1;
    thread_local std::string text;
    if (when != madeFor) {
        text = rt::FormatLocalTime("%d %b %Y %H:%M:%S", when);
        madeFor = when;
    }
    return text;
}

}  // namespace

std::string ChangeLine(const char* label, std::string_view path, const char* lineEnd,
                       std::time_t when) {
    std::string line = TimeText(when);
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
    explicit ListComparison(Application& app)
        : app_(app), run_(app.run), owed_(app.owed.get()), teller_(app, run_.logtext) {}

    bool Run() {
        const bool logReadable = PreloadLog();
        // A list the scan found row for row has nothing to report, and may have no working
        // lists at all.
        if (run_.listunchanged) {
            FinishLog(logReadable);
            return true;
        }
        lists_.emplace(*app_.tdb);
        auto current = lists_->ReadCurrent();
        if (!current) {
            app_.EndWithError(OLD_DATAFILES_ERROR);
            return false;
        }
        const bool complete =
            AdditionPass(*current) == Flow::Continue && RemovalPass() == Flow::Continue;
        FinishLog(logReadable);
        return complete;
    }

private:
    // Loads an existing log file into `logtext` and shows it, then adds the lines earlier
    // writes could not save; false when the file exists but cannot be read, so that it is
    // not overwritten with a partial log.
    bool PreloadLog() {
        const bool readable = !run_.logchosen || LoadLog();
        loadedLength_ = run_.logtext.size();
        run_.logtext += run_.unwrittenlog;
        return readable;
    }

    bool LoadLog() {
        // Only "nothing is there" makes a new log: a log that cannot be examined may hold
        // the whole history, which a rewrite would lose.
        const rt::EntryStatus log = rt::QueryPath(run_.logpath);
        if (!log.Answered()) {
            app_.ShowError(Status("Failed to write log file {path}"), run_.logpath);
            return false;
        }
        loadedStamp_ = rt::FileStamp(run_.logpath);
        if (log.kind != rt::ENTRY_FILE) return true;
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

    Flow AdditionPass(TListReader& rows) {
        while (rows.Next()) {
            run_.progcur += 1;
            app_.ShowStatusBar(rows.Path());
            const char* label = AdditionLabel(rows);
            if (label && Emit(label, rows.Path()) == Flow::Stop) return Flow::Stop;
            if (EndOfRow() == Flow::Stop) return Flow::Stop;
        }
        lists_->CurrentListAsked();
        return Flow::Continue;
    }

    // The change a row of the current list is; null when it is none.
    const char* AdditionLabel(TListReader& rows) {
        if (const auto previousIdent = lists_->PreviousIdentOf(rows)) {
            return *previousIdent != rows.Ident() ? LABEL_CHANGED : nullptr;
        }
        return rows.Ident().empty() ? LABEL_NEW_DIR : LABEL_NEW_FILE;
    }

    Flow RemovalPass() {
        TListReader rows = lists_->ReadPrevious();
        while (rows.Next()) {
            run_.progcur += 1;
            app_.ShowStatusBar(rows.Path());
            if (!lists_->InCurrent(rows)) {
                const char* label = rows.Ident().empty() ? LABEL_REMOVED_DIR : LABEL_REMOVED_FILE;
                if (Emit(label, rows.Path()) == Flow::Stop) return Flow::Stop;
            }
            if (EndOfRow() == Flow::Stop) return Flow::Stop;
        }
        return Flow::Continue;
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

    Flow Emit(const char* label, const std::string& path) {
        return teller_.Tell(label, path) ? Flow::Continue : Flow::Stop;
    }

    // The chosen log gets the new lines; without one they stay owed to the log they were
    // meant for.
    void FinishLog(bool logReadable) {
        // An existing log with nothing to add is left as it is: a run that finds nothing
        // writes nothing.
        const bool nothingNew = run_.logtext.size() == loadedLength_ && !owed_;
        if (nothingNew && !loadedStamp_.empty()) return;
        if (run_.logchosen) {
            WriteLog(logReadable);
        } else if (run_.logtext.size() > loadedLength_) {
            KeepUnwritten();
        }
    }

    // The whole update, from reading what the log holds to its new form, is under the
    // log's lock, so that two programs writing one log lose nothing. A log that could not
    // be read is not written, and its lines are kept the same way.
    void WriteLog(bool logReadable) {
        rt::TFileLock::Outcome outcome;
        const auto lock = rt::TFileLock::Acquire(run_.logpath, true, FILE_LOCK_TIMEOUT_MS, outcome);
        if (outcome == rt::TFileLock::Outcome::Busy) {
            app_.ShowError(Status("Failed to write log file {path} (locked by another program)"),
                           run_.logpath);
            KeepUnwritten();
            return;
        }
        if (!logReadable || !ReloadChangedLog()) {
            KeepUnwritten();
            return;
        }
        if (owed_) owed_->LogWriting(teller_.Written(), rt::FileStamp(run_.logpath));
        if (!rt::SaveTextFile(run_.logpath, run_.logtext)) {
            app_.ShowError(Status("Failed to write log file {path}"), run_.logpath);
            KeepUnwritten();
            return;
        }
        run_.unwrittenlog.clear();
        if (owed_) owed_->LogWritten();
    }

    // Another program wrote the log since it was loaded: its lines come first.
    bool ReloadChangedLog() {
        if (rt::FileStamp(run_.logpath) == loadedStamp_) return true;
        std::string text;
        if (rt::LoadTextFile(run_.logpath, text) == rt::LoadStatus::Failed) {
            app_.ShowError(Status("Failed to read log file {path}"), run_.logpath);
            return false;
        }
        const std::string added = run_.logtext.substr(loadedLength_);
        run_.logtext = text + added;
        loadedLength_ = text.size();
        return true;
    }

    // Lines no write saved wait, in order, for the next write that succeeds.
    void KeepUnwritten() {
        run_.unwrittenlog = run_.logtext.substr(loadedLength_);
        if (run_.logchosen) run_.unwrittenlogpath = rt::AbsolutePath(run_.logpath);
        if (owed_) owed_->LogKept(teller_.Written());
    }

    Application& app_;
    RunVariables& run_;
    std::optional<TEntryLists> lists_;
    TOwedLines* owed_;
    TChangeTeller teller_;
    // How much of `logtext` the log file held when it was loaded, and its stamp then.
    std::size_t loadedLength_ = 0;
    std::string loadedStamp_;
};

}  // namespace

bool CompareLists(Application& app) {
    return ListComparison(app).Run();
}

}  // namespace app
