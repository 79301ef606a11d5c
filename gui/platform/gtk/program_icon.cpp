#include "gui/platform/gtk/program_icon.h"

#include <gtk/gtk.h>

namespace gui::gtk {

namespace {

bool InSearchPath(GtkIconTheme* theme, const std::string& dir) {
    gchar** path = nullptr;
    gint count = 0;
    gtk_icon_theme_get_search_path(theme, &path, &count);
    bool found = false;
    for (gint i = 0; i < count && !found; ++i) found = dir == path[i];
    g_strfreev(path);
    return found;
}

}  // namespace

bool UseProgramIcon(const std::string& programDir, const std::string& name) {
    GtkIconTheme* theme = gtk_icon_theme_get_default();
    if (theme == nullptr || name.empty()) return false;
    // An installation whose prefix is not among the desktop's data directories (a staged
    // DESTDIR, /opt, the build tree) still finds its icon: share/ sits beside bin/.
    const std::size_t slash = programDir.rfind('/');
    if (slash != std::string::npos) {
        const std::string icons = programDir.substr(0, slash) + "/share/icons";
        if (g_file_test(icons.c_str(), G_FILE_TEST_IS_DIR) && !InSearchPath(theme, icons))
            gtk_icon_theme_append_search_path(theme, icons.c_str());
    }
    if (!gtk_icon_theme_has_icon(theme, name.c_str())) return false;
    gtk_window_set_default_icon_name(name.c_str());
    return true;
}

}  // namespace gui::gtk
