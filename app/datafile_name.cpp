#include "app/datafile_name.h"

namespace app {

std::string DeriveDatafileName(std::string_view dir) {
    std::string name(dir);
    for (char& c : name) {
        if (c == '\\' || c == '/' || c == ' ' || c == ':') c = '_';
    }
    return name;
}

}  // namespace app
