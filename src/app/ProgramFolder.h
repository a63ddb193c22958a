#pragma once

#include <string>

namespace daubix::app {

// The folder of the program's own files (patterns.bmp, Daubix.ini, the script library, presets, help):
// $DAUBIX_HOME when set; else the executable's folder when it holds patterns.bmp (a build tree or a
// portable copy); else $XDG_DATA_HOME/daubix (default ~/.local/share/daubix), created when missing and
// given the files of the executable's folder that it lacks.
std::string resolveProgramFolder(const std::string& executableFolder);

// A path inside the folder.
std::string programFile(const std::string& folder, const std::string& name);

} // namespace daubix::app
