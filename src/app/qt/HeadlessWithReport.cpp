#include "app/qt/HeadlessWithReport.h"

#include "app/cli/CaseLoading.h"
#include "app/qt/CaseReportCommand.h"
#include "base/ScopedDiagnosticSink.h"

int RunHeadlessWithReport(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    if (commandLine.mode != CommandLine::Mode::Report) {
        return RunHeadless(commandLine, out, err);
    }
    // The libraries' warnings go to `err`, as for every other headless command.
    const ScopedDiagnosticSink warnings(WarningsTo(err));
    return RunCaseReportCommand(commandLine, err);
}
