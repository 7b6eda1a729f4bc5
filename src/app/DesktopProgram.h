#pragma once

#include <string>

// Runs the desktop program: the Qt application, the main window on a new case, and the document
// named on the command line (may be empty). Returns the program's exit status.
int RunDesktopProgram(int argc, char** argv, const std::string& documentFile);
