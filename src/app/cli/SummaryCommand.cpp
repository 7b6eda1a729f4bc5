#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "case/Case.h"
#include "casefile/DataSummary.h"

#include <ostream>

int RunSummaryCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    Case theCase;
    if (!LoadCase(commandLine, theCase, err)) {
        return 1;
    }
    out << DataSummary::Build(theCase, DataSummary::Texts::Printable);
    out.flush();
    if (!out) {
        err << "ruvo: cannot write the summary to the standard output\n";
        return 1;
    }
    return 0;
}
