#pragma once
// A change line as tervala-cli writes it on standard output: the report line the window
// shows, or one JSON object.

#include <string>
#include <string_view>

#include "app/report_observer.h"

namespace cli {

// "08 Dec 2026 22:11:58 - New file: /path\n", the line of the report area.
std::string TextChangeLine(const app::ReportedChange& change);

// {"time":"2026-12-08T22:11:58","change":"new file","path":"/path"} and a line feed.
std::string JsonChangeLine(const app::ReportedChange& change);

// The change kind of a label: "file changed", "new file", "new dir", "file removed" or
// "dir removed".
std::string ChangeName(std::string_view label);

// The bytes as a quoted JSON string. Control characters are escaped, and every byte that
// is not part of valid UTF-8 becomes \udc80 to \udcff (the escape that file-name
// conversions read back as that byte), so that every path gives valid JSON.
std::string JsonString(std::string_view bytes);

}  // namespace cli
