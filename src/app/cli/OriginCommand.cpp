#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "world/OriginAnalysis.h"
#include "world/OriginText.h"
#include "world/SceneSurfaces.h"

#include <ostream>

int RunOriginCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    Case theCase;
    if (!LoadCase(commandLine, theCase, err)) {
        return 1;
    }
    LoadCaseScene(commandLine, theCase, err);
    const PosedCase posed(std::move(theCase));
    SceneSurfaces surfaces;
    const CaseWorld& world = posed.GetCase().world;
    if (world.sceneMesh) {
        if (const Status built = surfaces.Build(*world.sceneMesh, world.scene); !built.ok()) {
            err << "ruvo: warning: the scene model's surfaces limit no zone: "
                << PrintableText(built.message()) << '\n';
        }
    }
    // Each zone also with the share of the uncertainty budget's draws that reach its height.
    const OriginAnalysis analysis = AnalyseOrigins(posed, surfaces.IsBuilt() ? &surfaces : nullptr,
                                                   OriginOptions{.budgetDraws = true});
    out << FormatOriginTable(posed.GetCase(), analysis);
    out.flush();
    if (!out) {
        err << "ruvo: cannot write the origin zones to the standard output\n";
        return 1;
    }
    return 0;
}
