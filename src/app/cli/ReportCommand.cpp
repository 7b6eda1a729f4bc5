#include "app/cli/HeadlessCommands.h"
#include "app/cli/ProgramModule.h"
#include "app/cli/ReportModule.h"

int RunReportCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    auto* entry = reinterpret_cast<RuvoReportMainFunction*>(
        FindModuleEntry(kReportModuleFile, kReportEntryName, "report writer", err));
    if (entry == nullptr) {
        return 1;
    }
    return entry(commandLine, out, err);
}
