#include "app/list_match.h"

#include <atomic>
#include <cstring>
#include <optional>
#include <vector>

#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/path.h"
#include "runtime/text.h"
#include "runtime/work_ahead.h"

namespace app {
namespace {

constexpr char FORM_DIRECTORY = 1;
constexpr char FORM_WITH_IDENT = 2;
// Rows a batch holds, and batches read ahead of the one being followed: a few hundred KB.
constexpr int ROWS_A_BATCH = 2048;
constexpr std::size_t BATCHES_AHEAD = 4;
constexpr std::uint32_t WAIT_MS = 1000;

// One row of a stored list as the query gives it.
struct TRow {
    std::string path;
    std::string ident;
    char form = 0;
};

void AppendText(std::string& batch, const std::string& text) {
    const auto length = static_cast<std::uint32_t>(text.size());
    batch.append(reinterpret_cast<const char*>(&length), sizeof length);
    batch += text;
}

std::string_view TakeText(const std::string& batch, std::size_t& at) {
    std::uint32_t length = 0;
    std::memcpy(&length, batch.data() + at, sizeof length);
    at += sizeof length;
    const std::string_view text(batch.data() + at, length);
    at += length;
    return text;
}

}  // namespace

// The reading of both lists, batch by batch, one batch at a time. It compares the previous
// list with the current one as it goes and hands the current list's rows on.
struct TListMatch::TReading {
    std::string datafile;               // empty: `lists` is read as it is
    std::shared_ptr<db::TDBConnection> lists;
    std::shared_ptr<db::TDatabaseQuery> current;
    std::shared_ptr<db::TDatabaseQuery> previous;
    bool started = false;
    bool ended = false;
    std::atomic<bool> failed{false};
    std::atomic<bool> previousSame{true};
    std::atomic<bool> abandoned{false};

    // The next batch of the current list, empty after its last row.
    std::string Batch() {
        if (!started) Start();
        std::string batch;
        if (ended || abandoned) return batch;
        TRow row, other;
        for (int n = 0; n < ROWS_A_BATCH; ++n) {
            if (!Read(current, row)) {
                if (previousSame && Read(previous, other)) previousSame = false;
                Close();
                return batch;
            }
            batch += row.form;
            AppendText(batch, row.path);
            AppendText(batch, row.ident);
            if (previousSame) {
                previousSame = Read(previous, other) && other.form == FORM_WITH_IDENT &&
                               other.path == row.path && other.ident == row.ident;
            }
        }
        return batch;
    }

    void Start() {
        started = true;
        if (!datafile.empty()) lists = OpenDatafile();
        if (lists) {
            current = lists->executeQuery(sql::SELECT_OLD_LIST_FORMS);
            if (!lists->hasError()) previous = lists->executeQuery(sql::SELECT_PREVIOUS_LIST_FORMS);
        }
        if (!lists || lists->hasError()) {
            failed = true;
            Close();
        }
    }

    // A datafile from elsewhere can only be data in this connection too.
    std::shared_ptr<db::TDBConnection> OpenDatafile() const {
        auto connection = db::TDBSQLite::Create(datafile);
        if (!connection->isOpen() || connection->restrictToData() != 1) return nullptr;
        connection->waitForLocks();
        return connection;
    }

    bool Read(const std::shared_ptr<db::TDatabaseQuery>& rows, TRow& row) {
        if (!rows) return false;
        if (!rows->nextRow()) {
            if (lists->hasError()) failed = true;
            return false;
        }
        const auto record = rows->rowRecord();
        row.path = record->getString(0);
        row.ident = record->getString(1);
        row.form = static_cast<char>(record->getInt(2));
        return true;
    }

    // The reads end here, and with them any hold on the datafile.
    void Close() {
        ended = true;
        current.reset();
        previous.reset();
        if (!datafile.empty()) lists.reset();
    }
};

TListMatch::TListMatch(const std::string& datafile)
    : TListMatch(std::make_shared<TReading>(), 1) {
    reading_->datafile = datafile;
}

TListMatch::TListMatch(db::TDBConnection& lists) : TListMatch(std::make_shared<TReading>(), 0) {
    reading_->lists = lists.shared_from_this();
}

TListMatch::TListMatch(std::shared_ptr<TReading> reading, std::size_t lanes)
    : reading_(std::move(reading)), work_(std::make_unique<rt::TWorkAhead>(lanes)) {}

TListMatch::~TListMatch() {
    reading_->abandoned = true;
    if (queued_ > taken_) {
        while (!work_->WaitFor(queued_ - 1, WAIT_MS)) {
        }
    }
    // No batch is being read any more: the reads end on this thread.
    if (!reading_->ended) reading_->Close();
}

void TListMatch::ReadAhead() {
    while (!listEnded_ && queued_ < taken_ + BATCHES_AHEAD) {
        std::shared_ptr<TReading> reading = reading_;
        std::vector<rt::TWorkAhead::Job> job{[reading]() -> std::optional<std::string> {
            return reading->Batch();
        }};
        queued_ = work_->Add(std::move(job)) + 1;
    }
}

bool TListMatch::NextStored(TStoredRow& row) {
    if (at_ == batch_.size()) {
        if (listEnded_) return false;
        ReadAhead();
        while (!work_->WaitFor(taken_, WAIT_MS)) {
        }
        batch_ = work_->Take(taken_++).value_or(std::string());
        at_ = 0;
        listEnded_ = batch_.empty();
        if (listEnded_) return false;
        ReadAhead();
    }
    row.form = batch_[at_++];
    row.path = TakeText(batch_, at_);
    row.ident = TakeText(batch_, at_);
    return true;
}

// The scan stores a directory without identity and a file with one; the rotation copies
// both with a text identity, empty for a directory.
bool TListMatch::Next(std::string_view path, const std::string* ident) {
    if (!following_) return false;
    const std::string_view storedPath = StoredForm(path);
    TStoredRow row;
    following_ = NextStored(row) && row.form == (ident ? FORM_WITH_IDENT : FORM_DIRECTORY) &&
                 row.path == storedPath && row.ident == (ident ? std::string_view(*ident) : "");
    if (following_) ++found_;
    return following_;
}

// Rows come directory by directory: the directory part's stored form is made once for all
// of its entries, and only the name's for each. Names never span a separator.
std::string_view TListMatch::StoredForm(std::string_view path) {
    const std::size_t cut = path.rfind(rt::PATH_SEPARATOR) + 1;
    const std::string_view directory = path.substr(0, cut);
    if (directory != directory_) {
        directory_ = directory;
        storedDirectory_ = rt::EscapeNonUtf8(directory);
    }
    stored_ = storedDirectory_;
    stored_ += rt::EscapeNonUtf8(path.substr(cut));
    return stored_;
}

bool TListMatch::WholeListFound() {
    TStoredRow row;
    following_ = following_ && !NextStored(row);
    return following_;
}

bool TListMatch::PreviousIsTheSame() const { return listEnded_ && reading_->previousSame; }

bool TListMatch::Failed() const { return reading_->failed; }

}  // namespace app
