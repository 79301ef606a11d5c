#pragma once
// What the file-system tests ask of a directory and a stream, on every system.

#include <set>
#include <string>

#include "runtime/filesystem.h"
#include "runtime/stream.h"

namespace testsupport {

// Every name a directory lists; the listing must then stay exhausted.
std::set<std::string> ListAll(const std::string& path);
std::string ReadAll(rt::TReadStream& stream);

}  // namespace testsupport
