#include "gui/platform/gtk/gtk_session.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <thread>

#include "gui/platform/gtk/compact_style.h"
#include "gui/platform/gtk/program_icon.h"
#include "runtime/process.h"
#include "runtime/program.h"

namespace gui::gtk {
namespace {

std::thread::id& MainThread() {
    static std::thread::id id;
    return id;
}

// Nothing here draws with OpenGL, yet GDK loads the GL drivers at start-up to choose its
// visuals, which costs a quarter of a second without a graphics card. The setting is read
// once, by the initialisation, and is not handed on to the programs the shell opens for
// us; a user's own setting stands.
bool InitGtkWithoutGl() {
    const bool userSetting = g_getenv("GDK_GL") != nullptr;
    if (!userSetting) g_setenv("GDK_GL", "disable", TRUE);
    const bool initialised = gtk_init_check(nullptr, nullptr);
    if (!userSetting) g_unsetenv("GDK_GL");
    return initialised;
}

}  // namespace

void StartGtk() {
    static bool started = false;
    if (started) return;
    started = true;
    MainThread() = std::this_thread::get_id();
    if (!InitGtkWithoutGl()) {
        std::fprintf(stderr, "No display is available: start the program from a desktop session.\n");
        rt::EndProcess(1);
    }
    InstallCompactStyle();
    const std::string program = rt::ProgramFile();
    UseProgramIcon(rt::ProgramDir(), program.substr(program.rfind('/') + 1));
}

bool OnMainThread() { return std::this_thread::get_id() == MainThread(); }

}  // namespace gui::gtk
