#pragma once

#include <iosfwd>

// The file name of the program with Qt, which `ruvo` starts for the desktop program and the report.
inline constexpr char kQtProgramFile[] = "ruvo-qt";

// Replaces this process with the program with Qt, given the same arguments (argv[0] included), so
// that it keeps the process, its standard streams and its exit status. Returns only when it could
// not be started, after saying why on `err`: the status to exit with.
int StartQtProgram(char** argv, std::ostream& err);
