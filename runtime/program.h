#pragma once
// Facts about the running program: where it lives, where it was started, how much
// memory it holds.

#include <cstdint>
#include <string>

namespace rt {

// Full path of the program file; "" when the system does not tell.
std::string ProgramFile();
// The directory that holds the program file; "" when unknown.
std::string ProgramDir();
// The current directory at the moment the program started.
std::string LaunchDir();
// Bytes the program has allocated from the heap and not yet released.
std::uint64_t AllocatedMemory();

}  // namespace rt
