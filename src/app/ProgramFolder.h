#pragma once

#include <string>

namespace daubix::app {

// The folder of the program's own files (patterns.bmp, Daubix.ini, the script library, presets, help):
// $DAUBIX_HOME when set; else the executable's folder when it holds patterns.bmp (a portable copy laid
// out flat); else the data folder beside the executable when it holds patterns.bmp (a build tree); else
// $XDG_DATA_HOME/daubix (default ~/.local/share/daubix). $DAUBIX_HOME and the user's folder are created
// when missing and given the program's data files that they lack (from the data folder beside the
// executable, or ../share/daubix), never overwriting a file they have.
std::string resolveProgramFolder(const std::string& executableFolder);

// A path inside the folder.
std::string programFile(const std::string& folder, const std::string& name);

} // namespace daubix::app
