#include "app/QtProgramStart.h"

#include "base/ProgramFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>

#include <unistd.h>

// Beside this program, else where it is installed; never the build folder's, which an installed
// program must not take for its own: a build of another version may be there.
int StartQtProgram(char** argv, std::ostream& err) {
    std::string reason = std::string("the file ") + kQtProgramFile +
                         " was found neither beside this program nor where it is installed";
    for (const std::string& path :
         CompanionFileCandidates(kQtProgramFile, {RUVO_QT_PROGRAM_INSTALLED})) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            continue;
        }
        err.flush();
        ::execv(path.c_str(), argv);
        reason = path + ": " + std::strerror(errno);
    }
    err << "ruvo: the desktop program and the report could not be started: " << reason << '\n';
    return 1;
}
