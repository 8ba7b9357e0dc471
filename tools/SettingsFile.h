#pragma once

#include <string>

namespace thorn::startdir {

// The text of the default "ini.xml": the preferences at their defaults, the
// label font Tahoma 8, and a window layout for a 1280 x 800 screen (the main
// window on the left, the mission and events windows stacked on the right).
std::string SettingsXml();

}  // namespace thorn::startdir
