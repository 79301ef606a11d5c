#pragma once
// A list's rows found by their stored path without an index in the database: the hash of
// every path beside its row number, read once when first needed and kept in memory (16
// bytes a row). Building an index wrote a sort and the index itself, several hundred MB on a
// list of a million rows, to the working database's file; this writes nothing.
// It serves lists that compare their paths exactly, as the lists this program creates do.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/reused_statement.h"

namespace app {

class TPathLookup {
public:
    // The list `table` of the connection.
    TPathLookup(db::TDBConnection& tdb, const char* table);
    ~TPathLookup();

    // The first row (in id order) that holds the stored path: its id and identity text;
    // none when no row holds it.
    std::optional<std::pair<std::int64_t, std::string>> Find(const std::string& storedPath);
    // Whether some stored path is held by two rows.
    bool HoldsAPathTwice();

private:
    void Load();
    // The stored path and identity of the row with this id; false when there is none.
    bool ReadRow(std::int64_t id, std::string& path, std::string& ident);

    db::TDBConnection& tdb_;
    std::string table_;
    bool loaded_ = false;
    // (hash of the path, id), sorted: the rows of one path lie together in id order.
    std::vector<std::pair<std::uint64_t, std::int64_t>> rows_;
    TReusedStatement byId_;
};

}  // namespace app
