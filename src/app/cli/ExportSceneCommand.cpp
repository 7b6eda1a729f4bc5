#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "export/SceneExport.h"
#include "mesh/ArrowModels.h"

#include <ostream>

// Reads the case with its body, both arrows and its scene model (as the window has it once the
// case is open), then writes the case the view would show. A scene model that cannot be read is
// said as a warning and the rest is written, as every other command does.
int RunExportSceneCommand(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    Case theCase;
    ArrowModels arrows;
    if (!LoadCase(commandLine, theCase, err, &arrows)) {
        return 1;
    }
    LoadCaseScene(commandLine, theCase, err);
    const PosedCase posed(std::move(theCase));
    if (const Status written = ExportSceneFile(posed, arrows, commandLine.outputFile); !written) {
        err << "ruvo: " << PrintableText(written.message()) << '\n';
        return 1;
    }
    return 0;
}
