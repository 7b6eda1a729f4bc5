// The entry point of the report module (libruvo_report_command.so), which the executable loads
// only for `ruvo --report`.

#include "app/cli/CommandModule.h"
#include "app/report/CaseReportCommand.h"
#include "docs/AppInfo.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int
RuvoReportMain(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    GetAppInfo(); // the module's own copy records the start directory, as the executable's did
    return RunCaseReportCommand(commandLine, err);
}

static_assert(std::is_same_v<decltype(RuvoReportMain), RuvoCommandFunction>,
              "the executable calls the entry through RuvoCommandFunction");
