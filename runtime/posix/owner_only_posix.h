#pragma once
// The mode of every file the program creates.

#include <sys/stat.h>

namespace rt::posix {

// Readable and writable by the owner alone, whatever the umask: a datafile or a log names
// files that other users may not be allowed to see.
inline constexpr mode_t OWNER_ONLY = S_IRUSR | S_IWUSR;

}  // namespace rt::posix
