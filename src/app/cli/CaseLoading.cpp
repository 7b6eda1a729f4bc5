#include "app/cli/CaseLoading.h"

#include "docs/DataFile.h"
#include "scene/Universe.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

namespace {

// The reader also prints its own console line for a file it cannot open; checking first keeps
// the common mistake, a wrong path, to the one line of this command.
bool CanOpen(const std::string& path, std::ostream& err) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        err << "ruvo: Cannot open body file \"" << path << "\": " << std::strerror(errno) << '\n';
        return false;
    }
    std::fclose(file);
    return true;
}

} // namespace

bool LoadCase(const CommandLine& commandLine, Universe& universe, std::ostream& err,
              bool withArrows) {
    const std::string bodyFile =
        commandLine.bodyFile.empty() ? universe.GetBodyModelFile() : commandLine.bodyFile;
    if (!CanOpen(bodyFile, err)) {
        return false;
    }
    const Body::WarningSink warnings = [&err](const std::string& message) {
        err << "ruvo: warning: " << message << '\n';
    };
    universe.SetBodyModelFile(bodyFile);
    const Status loaded = withArrows ? universe.LoadDefaultModels(warnings)
                                     : universe.GetBody().Load(bodyFile, warnings);
    if (!loaded) {
        err << "ruvo: " << loaded.message() << '\n';
        return false;
    }
    const DataFileReadResult read = DataFile(universe).Read(commandLine.caseFile);
    if (!read.ok()) {
        err << "ruvo: " << read.status.message() << '\n';
        return false;
    }
    if (read.LeftSomethingOut()) {
        err << "ruvo: " << read.LeftOutMessage() << '\n';
    }
    return true;
}
