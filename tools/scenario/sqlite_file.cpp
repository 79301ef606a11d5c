#include "tools/scenario/sqlite_file.h"

#include <sqlite3.h>

#include <memory>

namespace scenario {
namespace {

struct TCloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct TFinalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using TDatabase = std::unique_ptr<sqlite3, TCloseDatabase>;
using TStatement = std::unique_ptr<sqlite3_stmt, TFinalize>;

bool Open(const std::string& path, int flags, TDatabase& db, std::string& error) {
    sqlite3* handle = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    db.reset(handle);
    if (result == SQLITE_OK) return true;
    error = "cannot open the database " + path + ": " +
            (handle ? sqlite3_errmsg(handle) : sqlite3_errstr(result));
    return false;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) return "<NULL>";
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

}  // namespace

bool ReadFileRows(const std::string& path, const std::string& table,
                  std::vector<std::string>& rows, std::string& error) {
    rows.clear();
    TDatabase db;
    if (!Open(path, SQLITE_OPEN_READONLY, db, error)) return false;
    const std::string sql = "select file, ident from \"" + table + "\" order by id asc";
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        error = "cannot read table " + table + " of " + path + ": " + sqlite3_errmsg(db.get());
        return false;
    }
    TStatement statement(raw);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        rows.push_back(ColumnText(statement.get(), 0) + "|" + ColumnText(statement.get(), 1));
    }
    if (step != SQLITE_DONE) {
        error = "cannot read table " + table + " of " + path + ": " + sqlite3_errmsg(db.get());
        return false;
    }
    return true;
}

bool RunStatements(const std::string& path, const std::string& statements, std::string& error) {
    TDatabase db;
    if (!Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, db, error)) return false;
    char* message = nullptr;
    if (sqlite3_exec(db.get(), statements.c_str(), nullptr, nullptr, &message) == SQLITE_OK) {
        return true;
    }
    error = "SQL failed on " + path + ": " + (message ? message : "unknown error");
    sqlite3_free(message);
    return false;
}

}  // namespace scenario
