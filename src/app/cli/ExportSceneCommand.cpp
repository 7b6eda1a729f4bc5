#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "case/Case.h"
#include "export/SceneExport.h"

#include <ostream>

// Reads the case with its body and both arrows, then writes the scene the view would show.
int RunExportSceneCommand(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    Case universe;
    if (!LoadCase(commandLine, universe, err, true)) {
        return 1;
    }
    if (const Status written = ExportSceneFile(universe, commandLine.outputFile); !written) {
        err << "ruvo: " << written.message() << '\n';
        return 1;
    }
    return 0;
}
