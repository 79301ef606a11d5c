#pragma once
// Reading a column of the current row of a query as text.

#include <string>

#include "database/query.h"

namespace app {

// Column i of the query's current row; the empty text for a missing value or NULL.
inline std::string ColumnText(db::TDatabaseQuery& query, int i) {
    const auto value = query.rowRecord()->value(i);
    return value ? value->getString() : std::string();
}

}  // namespace app
