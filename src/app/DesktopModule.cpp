#include "app/DesktopModule.h"

#include "app/cli/ProgramModule.h"

#include <iostream>

int RunDesktopModule(int argc, char** argv, const std::string& documentFile) {
    auto* entry = reinterpret_cast<RuvoDesktopMainFunction*>(
        FindModuleEntry(kDesktopModuleFile, kDesktopEntryName, "desktop program", std::cerr));
    if (entry == nullptr) {
        return 1;
    }
    return entry(argc, argv, documentFile.c_str());
}
