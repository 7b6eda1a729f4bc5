#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "casefile/DataFile.h"

#include <ostream>

int RunRewriteCommand(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    Case theCase;
    if (!LoadCase(commandLine, theCase, err)) {
        return 1;
    }
    if (const Status written = DataFile::Write(theCase, commandLine.outputFile); !written) {
        err << "ruvo: " << PrintableText(written.message()) << '\n';
        return 1;
    }
    return 0;
}
