#pragma once

#include <string>

// The desktop program lives in a module of its own (libruvo_desktop.so beside the executable), so
// that the headless commands start without loading Qt and its graphics stack. This loads the module
// and runs the desktop program with the command line and the document named on it (may be empty).
// Returns the program's exit status, or 1 with a message on `stderr` when the module is missing.
int RunDesktopModule(int argc, char** argv, const std::string& documentFile);

// The module's entry point, exported without C++ name decoration.
using RuvoDesktopMainFunction = int(int argc, char** argv, const char* documentFile);
inline constexpr const char* kDesktopModuleFile = "libruvo_desktop.so";
inline constexpr const char* kDesktopEntryName = "RuvoDesktopMain";
