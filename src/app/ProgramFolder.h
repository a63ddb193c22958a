#pragma once

#include <string>

namespace daubix::app {

// The folder of the program's own files (patterns.bmp, Daubix.ini, the script library, presets, help):
// $DAUBIX_HOME when set; else the executable's folder when it holds patterns.bmp (a build tree or a
// portable copy); else $XDG_DATA_HOME/daubix (default ~/.local/share/daubix). A folder other than the
// executable's is created when missing and given the program's data files that it lacks (from beside the
// executable, its data folder, or ../share/daubix), never overwriting a file it has.
std::string resolveProgramFolder(const std::string& executableFolder);

// A path inside the folder.
std::string programFile(const std::string& folder, const std::string& name);

} // namespace daubix::app
