#include "app/cli/CaseLoading.h"

#include "docs/DataFile.h"
#include "scene/Universe.h"

#include <ostream>

bool LoadCase(const CommandLine& commandLine, Universe& universe, std::ostream& err) {
    const std::string bodyFile =
        commandLine.bodyFile.empty() ? universe.GetBodyModelFile() : commandLine.bodyFile;
    if (const Status loaded = universe.GetBody().Load(bodyFile); !loaded) {
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
