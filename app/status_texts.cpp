#include "app/status_texts.h"

namespace app {

std::string StatusText::Filled(std::string_view part) const {
    const std::size_t open = words_.find('{');
    if (open == std::string_view::npos) return std::string(words_);
    const std::size_t close = words_.find('}', open);
    return std::string(words_.substr(0, open)).append(part).append(words_.substr(close + 1));
}

}  // namespace app
