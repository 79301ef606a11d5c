#include "app/sql_text.h"

namespace app::sql {

std::string Quoted(std::string_view value, char quote) {
    std::string text;
    text.reserve(value.size() + 2);
    text += quote;
    for (char c : value) {
        text += c;
        if (c == quote) text += quote;
    }
    text += quote;
    return text;
}

std::string InsertDirectory(std::string_view path) {
    return "insert into allist (file) VALUES (" + Quoted(path, '\'') + ")";
}

std::string InsertFile(std::string_view path, std::string_view ident) {
    return "insert into allist (file,ident) VALUES (" + Quoted(path, '\'') + ", " +
           Quoted(ident, '\'') + ")";
}

std::string InsertPrevious(std::string_view path, std::string_view ident) {
    return "insert into lastallist (file,ident) VALUES (" + Quoted(path, '\'') + ", " +
           Quoted(ident, '\'') + ")";
}

std::string LookupPrevious(std::string_view path) {
    return "select file,ident from lastallist where file = " + Quoted(path, '\'');
}

std::string LookupCurrent(std::string_view path) {
    return "select file,ident from allist where file = " + Quoted(path, '"');
}

}  // namespace app::sql
