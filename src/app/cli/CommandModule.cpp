#include "app/cli/CommandModule.h"

#include "docs/ModuleLoading.h"

#include <string>

int RunModuleCommand(const CommandModule& module, const CommandLine& commandLine, std::ostream& out,
                     std::ostream& err) {
    std::string error;
    auto* entry = reinterpret_cast<RuvoCommandFunction*>(
        LoadModuleEntry(module.file, module.entry, module.part, error));
    if (entry == nullptr) {
        err << "ruvo: " << error << '\n';
        return 1;
    }
    return entry(commandLine, out, err);
}
