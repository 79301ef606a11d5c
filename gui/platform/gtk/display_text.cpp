#include "gui/platform/gtk/display_text.h"

#include <glib.h>

namespace gui::gtk {

std::string DisplayText(std::string_view text) {
    const auto length = static_cast<gssize>(text.size());
    if (g_utf8_validate(text.data(), length, nullptr)) return std::string(text);
    gchar* valid = g_utf8_make_valid(text.data(), length);
    std::string shown = valid;
    g_free(valid);
    return shown;
}

}  // namespace gui::gtk
