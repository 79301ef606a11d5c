#pragma once
// The datafile name derived from the monitored directory when none was chosen.

#include <string>
#include <string_view>

namespace app {

// Every "\", every "/", every blank and every ":" becomes "_": "/home/ann/My Files"
// gives "_home_ann_My_Files", "C:\My Files" gives "C__My_Files".
std::string DeriveDatafileName(std::string_view dir);

}  // namespace app
