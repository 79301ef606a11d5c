#include "app/status_texts.h"

namespace app {

std::string StatusText::Filled(std::string_view part, std::string_view second) const {
    std::string shown;
    std::string_view rest = words_;
    for (const std::string_view fill : {part, second}) {
        const std::size_t open = rest.find('{');
        if (open == std::string_view::npos) break;
        shown.append(rest.substr(0, open)).append(fill);
        rest = rest.substr(rest.find('}', open) + 1);
    }
    return shown.append(rest);
}

}  // namespace app
