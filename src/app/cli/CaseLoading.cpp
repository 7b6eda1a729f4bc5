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

bool LoadCase(const CommandLine& commandLine, Universe& universe, std::ostream& err) {
    const std::string bodyFile =
        commandLine.bodyFile.empty() ? universe.GetBodyModelFile() : commandLine.bodyFile;
    if (!CanOpen(bodyFile, err)) {
        return false;
    }
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

void ApplyNamedView(Universe& universe, const std::string& view) {
    if (view == "back") {
        universe.ViewBack();
    } else if (view == "left") {
        universe.ViewLeft();
    } else if (view == "right") {
        universe.ViewRight();
    } else if (view == "top") {
        universe.ViewTop();
    } else if (view == "profile") {
        universe.ViewProfile();
    } else {
        universe.ViewFront();
    }
}
