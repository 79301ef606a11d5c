#pragma once
// The SQL texts of the datafile, the scan and the comparison. Values are placed inside
// quotes with every quote of the enclosing kind written twice, so they are stored unchanged.

#include <string>
#include <string_view>

namespace app::sql {

inline constexpr const char* CREATE_LASTALLIST =
    "CREATE TABLE lastallist (id integer primary key AUTOINCREMENT, file text, ident text)";
inline constexpr const char* CREATE_ALLIST =
    "CREATE TABLE allist (id integer primary key AUTOINCREMENT, file text, ident text)";
// Lookups by path search these instead of scanning the other list.
inline constexpr const char* INDEX_ALLIST =
    "CREATE INDEX IF NOT EXISTS allist_file ON allist (file)";
inline constexpr const char* INDEX_LASTALLIST =
    "CREATE INDEX IF NOT EXISTS lastallist_file ON lastallist (file)";
inline constexpr const char* SET_ENCODING = "PRAGMA encoding = \"UTF-16le\";";
inline constexpr const char* DELETE_LASTALLIST = "delete from lastallist";
inline constexpr const char* DELETE_ALLIST = "delete from allist";
inline constexpr const char* SELECT_OLD_LIST = "select file,ident from allist order by id asc";
inline constexpr const char* SELECT_CURRENT_ROWS = "select id,file,ident from allist order by id asc";
inline constexpr const char* SELECT_PREVIOUS_ROWS =
    "select id,file,ident from lastallist order by id asc";

// value between the quote characters, each inner quote doubled.
std::string Quoted(std::string_view value, char quote);

std::string InsertDirectory(std::string_view path);
std::string InsertFile(std::string_view path, std::string_view ident);
std::string InsertPrevious(std::string_view path, std::string_view ident);
std::string LookupPrevious(std::string_view path);
std::string LookupCurrent(std::string_view path);

}  // namespace app::sql
