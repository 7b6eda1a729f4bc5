#include "app/DesktopModule.h"

#include "docs/ModuleLoading.h"

#include <iostream>

int RunDesktopModule(int argc, char** argv, const std::string& documentFile) {
    std::string error;
    auto* entry = reinterpret_cast<RuvoDesktopMainFunction*>(
        LoadModuleEntry(kDesktopModuleFile, kDesktopEntryName, "desktop program", error));
    if (entry == nullptr) {
        std::cerr << "ruvo: " << error << '\n';
        return 1;
    }
    return entry(argc, argv, documentFile.c_str());
}
