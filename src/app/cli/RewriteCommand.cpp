#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "case/Case.h"
#include "case/DataFile.h"

#include <ostream>

int RunRewriteCommand(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    Case universe;
    if (!LoadCase(commandLine, universe, err)) {
        return 1;
    }
    if (const Status written = DataFile(universe).Write(commandLine.outputFile); !written) {
        err << "ruvo: " << written.message() << '\n';
        return 1;
    }
    return 0;
}
