#include "gui/platform/gtk/gtk_session.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "gui/platform/gtk/compact_style.h"
#include "gui/platform/gtk/gtk_gadget.h"
#include "runtime/process.h"

namespace gui::gtk {

void StartGtk() {
    static bool started = false;
    if (started) return;
    started = true;
    RememberMainThread();
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "No display is available: start the program from a desktop session.\n");
        rt::EndProcess(1);
    }
    InstallCompactStyle();
}

}  // namespace gui::gtk
