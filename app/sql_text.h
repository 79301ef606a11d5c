#pragma once
// The fixed SQL texts of the working database: its tables, their indexes and the reads
// of whole lists. Statements that carry a path or an identity are the entry lists' own.

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
inline constexpr const char* DROP_INDEX_ALLIST = "DROP INDEX IF EXISTS allist_file";
inline constexpr const char* DROP_INDEX_LASTALLIST = "DROP INDEX IF EXISTS lastallist_file";
// A bound empty text is NULL: a directory's identity in `allist`, and the empty text once
// it is in `lastallist`.
inline constexpr const char* INSERT_CURRENT_ROW = "insert into allist (file,ident) VALUES (?, ?)";
inline constexpr const char* INSERT_PREVIOUS_ROW =
    "insert into lastallist (file,ident) VALUES (?, ifnull(?, ''))";
inline constexpr const char* SET_ENCODING = "PRAGMA encoding = \"UTF-16le\";";
// A new working database's pages, four times the system library's default: a list of a
// million entries outgrows the cache, and each page spilled or read back is a system call.
inline constexpr const char* SET_PAGE_SIZE = "PRAGMA page_size = 16384";
// In KiB: what the working database keeps in memory before it spills pages to its file. Set
// once the page size is final: the system library turns KiB into a page count at the page
// size of the moment and keeps that count when a loaded datafile brings another page size.
inline constexpr const char* SET_CACHE_SIZE = "PRAGMA cache_size = -131072";
// Each run empties both lists; zeroing every freed page, the system library's default here,
// journalled and rewrote the whole list once more per run (the deleted rows live on in the
// new list and the datafile anyway).
inline constexpr const char* SET_FAST_DELETE = "PRAGMA secure_delete = FAST";
inline constexpr const char* DELETE_LASTALLIST = "delete from lastallist";
inline constexpr const char* DELETE_ALLIST = "delete from allist";
inline constexpr const char* SELECT_OLD_LIST = "select file,ident from allist order by id asc";
inline constexpr const char* SELECT_FIRST_PATH = "select file,ident from allist order by id asc limit 1";
inline constexpr const char* SELECT_PREVIOUS_LIST =
    "select file,ident from lastallist order by id asc";
// Names are matched without regard to case, as SQLite itself matches them.
inline constexpr const char* SELECT_LIST_TABLES =
    "select name from sqlite_master where type = 'table' and "
    "lower(name) in ('allist', 'lastallist')";
inline constexpr const char* SELECT_CURRENT_ROWS = "select id,file,ident from allist order by id asc";
inline constexpr const char* SELECT_PREVIOUS_ROWS =
    "select id,file,ident from lastallist order by id asc";

inline constexpr const char* COUNT_OLD_LIST = "select count(*) from allist";
// The stored lists row by row with the form of each row: 1 a text path without identity (a
// directory as the scan stores it), 2 a text path with a text identity, 0 anything else.
#define TERVALA_ROW_FORM                                                                   \
    "case when typeof(file) <> 'text' then 0 when ident is null then 1 "                   \
    "when typeof(ident) = 'text' then 2 else 0 end"
inline constexpr const char* SELECT_OLD_LIST_FORMS =
    "select file,ident," TERVALA_ROW_FORM " from allist order by id asc";
inline constexpr const char* SELECT_PREVIOUS_LIST_FORMS =
    "select file,ident," TERVALA_ROW_FORM " from lastallist order by id asc";
#undef TERVALA_ROW_FORM

}  // namespace app::sql
