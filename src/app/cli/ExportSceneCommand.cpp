#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "case/Case.h"
#include "export/SceneExport.h"

#include <ostream>

// Reads the case with its body and both arrows, then writes the case the view would show.
int RunExportSceneCommand(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    Case theCase;
    if (!LoadCase(commandLine, theCase, err, true)) {
        return 1;
    }
    if (const Status written = ExportSceneFile(theCase, commandLine.outputFile); !written) {
        err << "ruvo: " << written.message() << '\n';
        return 1;
    }
    return 0;
}
