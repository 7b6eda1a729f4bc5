#include "app/cli/CaseLoading.h"

#include "base/FileAccess.h"
#include "case/Case.h"
#include "case/DataFile.h"

#include <ostream>

namespace {

// Checking first keeps the common mistake, a wrong path, to one line naming the body file; a FIFO
// or device is refused here before any reader could wait on it.
bool CanOpen(const std::string& path, std::ostream& err) {
    if (const int error = CheckReadableFile(path)) {
        err << "ruvo: Cannot open body file \"" << path << "\": " << FileErrorText(error) << '\n';
        return false;
    }
    return true;
}

} // namespace

bool LoadCase(const CommandLine& commandLine, Case& universe, std::ostream& err, bool withArrows) {
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

void ApplyNamedView(Case& universe, const std::string& view) {
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
