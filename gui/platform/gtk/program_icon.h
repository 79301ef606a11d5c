#pragma once
// The windows' icon: the icon theme's icon named after the program, as the desktop entry
// names it, looked up also in the share/icons beside the program's own directory.

#include <string>

namespace gui::gtk {

// Makes the icon the default of every window; false when no theme has an icon of that name.
// programDir is the directory holding the program (…/bin), name the program's file name.
bool UseProgramIcon(const std::string& programDir, const std::string& name);

}  // namespace gui::gtk
