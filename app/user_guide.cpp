#include "app/user_guide.h"

#include "runtime/path.h"
#include "runtime/program.h"

namespace app {

std::string UserGuideURL() {
    // The program's directory is bin/ when installed and app/ in the build tree, whose
    // share/doc/tervala is a link to the source docs/.
    const std::string programDir = rt::ProgramDir();
    const std::size_t separator = programDir.rfind(rt::PATH_SEPARATOR);
    const std::string prefix =
        separator == std::string::npos ? "" : programDir.substr(0, separator);
    const char s = rt::PATH_SEPARATOR;
    return rt::FileURL(prefix + s + "share" + s + "doc" + s + "tervala" + s + "index.html");
}

}  // namespace app
