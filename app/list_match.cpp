#include "app/list_match.h"

#include <utility>

#include <algorithm>

#include "app/sql_text.h"
#include "database/sqlite/sqlite.h"
#include "runtime/text.h"

namespace app {
namespace {

constexpr int FORM_DIRECTORY = 1;
constexpr int FORM_WITH_IDENT = 2;

}  // namespace

bool TListMatch::TReader::Next(db::TDBConnection& connection) {
    if (!rows) return false;
    if (!rows->nextRow()) {
        failed = connection.hasError() != 0;
        return false;
    }
    const auto row = rows->rowRecord();
    path = row->getString(0);
    ident = row->getString(1);
    form = row->getInt(2);
    return true;
}

TListMatch::TListMatch(db::TDBConnection& stored) : stored_(stored) {
    for (auto [reader, sql] : {std::pair{&current_, sql::SELECT_OLD_LIST_FORMS},
                               std::pair{&previous_, sql::SELECT_PREVIOUS_LIST_FORMS}}) {
        reader->rows = stored.executeQuery(sql);
        reader->failed = stored.hasError() != 0;
        if (reader->failed) reader->rows = nullptr;
    }
}

TListMatch::~TListMatch() = default;

// The scan stores a directory without identity and a file with one; the rotation copies
// both with a text identity, empty for a directory.
bool TListMatch::Next(std::string_view path, const std::string* ident) {
    if (!following_) return false;
    // Text in ASCII is stored as it is; most paths are, and need no copy.
    const bool ascii = std::all_of(path.begin(), path.end(), [](char c) { return (c & 0x80) == 0; });
    const std::string escaped = ascii ? std::string() : rt::EscapeNonUtf8(path);
    const std::string_view stored = ascii ? path : std::string_view(escaped);
    static const std::string none;
    const std::string& identText = ident ? *ident : none;
    following_ = current_.Next(stored_) && current_.form == (ident ? FORM_WITH_IDENT : FORM_DIRECTORY) &&
                 current_.path == stored && current_.ident == identText;
    if (!following_) return false;
    ++found_;
    previousSame_ = previousSame_ && previous_.Next(stored_) && previous_.form == FORM_WITH_IDENT &&
                    previous_.path == stored && previous_.ident == identText;
    return true;
}

bool TListMatch::WholeListFound() {
    following_ = following_ && !current_.Next(stored_);
    return following_;
}

bool TListMatch::Failed() const { return current_.failed || previous_.failed; }

bool TListMatch::PreviousIsTheSame() {
    previousSame_ = previousSame_ && !previous_.Next(stored_);
    return previousSame_;
}

}  // namespace app
