#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "export/SceneExport.h"
#include "mesh/ArrowModels.h"

#include <ostream>

// Reads the case with its body and both arrows, then writes the case the view would show.
int RunExportSceneCommand(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    Case theCase;
    ArrowModels arrows;
    if (!LoadCase(commandLine, theCase, err, &arrows)) {
        return 1;
    }
    const PosedCase posed(std::move(theCase));
    if (const Status written = ExportSceneFile(posed, arrows, commandLine.outputFile); !written) {
        err << "ruvo: " << PrintableText(written.message()) << '\n';
        return 1;
    }
    return 0;
}
