#include "app/cli/HeadlessCommands.h"

#include <ostream>

int RunObjInfoCommand(const CommandLine&, std::ostream&, std::ostream& err) {
    err << "ruvo: this command is not built yet\n";
    return 2;
}
