#pragma once
// GTK shows only UTF-8 text. File names may hold other bytes; those are shown as U+FFFD
// instead of making GTK refuse the whole text.

#include <string>
#include <string_view>

namespace gui::gtk {

std::string DisplayText(std::string_view text);

}  // namespace gui::gtk
