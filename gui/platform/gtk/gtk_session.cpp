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

}  // namespace

void StartGtk() {
    static bool started = false;
    if (started) return;
    started = true;
    MainThread() = std::this_thread::get_id();
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "No display is available: start the program from a desktop session.\n");
        rt::EndProcess(1);
    }
    InstallCompactStyle();
    const std::string program = rt::ProgramFile();
    UseProgramIcon(rt::ProgramDir(), program.substr(program.rfind('/') + 1));
}

bool OnMainThread() { return std::this_thread::get_id() == MainThread(); }

}  // namespace gui::gtk
