#pragma once
// The runtime's UTF-8 paths as the wide-character Win32 calls take them.

#include <windows.h>

#include <string>

#include "runtime/filesystem.h"

namespace rt::win32 {

// UTF-16 as the file system keeps it; names that are not valid UTF-16 survive.
std::wstring Wide(const std::string& utf8);
std::string Narrow(const wchar_t* units, std::size_t count);
inline std::string Narrow(const std::wstring& units) { return Narrow(units.data(), units.size()); }

// The absolute "\\?\" form, which is not bound to MAX_PATH; "/" becomes "\".
std::wstring LongPath(const std::string& utf8);

// What the long path names, links and junctions followed, opened for its attributes only
// (a directory too); INVALID_HANDLE_VALUE when nothing can be reached there.
HANDLE OpenForQuery(const std::wstring& longPath);
// The same for reading a regular file; INVALID_HANDLE_VALUE for anything else.
HANDLE OpenRegularFile(const std::wstring& longPath);

// The status of a failed query with this error: nothing there for a missing file or
// path, otherwise no answer, with the system's text.
EntryStatus FailedStatus(DWORD error);
// Kind, size and identity of an open file or directory; a kind of ENTRY_NONE when the
// system does not tell.
EntryStatus StatusOf(HANDLE handle);
// Kind, size and identity of what the long path names, links followed.
EntryStatus StatusAt(const std::wstring& longPath);

}  // namespace rt::win32
