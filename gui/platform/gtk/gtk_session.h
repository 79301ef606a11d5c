#pragma once
// GTK's one-time start: the display connection, the main thread, the compact style.

namespace gui::gtk {

// Opens the display on the first call. Without one the program cannot do anything, so it
// says so on one line and ends with status 1.
void StartGtk();

// True on the thread that started GTK; GTK may be touched only there.
bool OnMainThread();

}  // namespace gui::gtk
