#pragma once
// Facts about the running program: where it lives, where it was started, how much
// memory it holds.

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

// Full path of the program file; "" when the system does not tell.
std::string ProgramFile();
// The directory that holds the program file; "" when unknown.
std::string ProgramDir();
// The current directory at the moment the program started.
std::string LaunchDir();
// The arguments main() was given, without the program's name, as UTF-8. On Windows argv
// holds them in the system's code page, which loses names; they come from the wide
// command line there.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Bytes the program has allocated from the heap and not yet released.
std::uint64_t AllocatedMemory();

}  // namespace rt
