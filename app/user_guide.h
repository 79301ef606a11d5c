#pragma once
// Where Help > About leads: the user guide that ships with the program.

#include <string>

namespace app {

// The file: URL of share/doc/tervala/index.html beside the program's bin/ directory, so
// that an installed program under any prefix, and the build tree, find their own guide.
std::string UserGuideURL();

}  // namespace app
