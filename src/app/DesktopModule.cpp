#include "app/DesktopModule.h"

#include <dlfcn.h>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

// The module is looked for beside the executable, wherever the program was started from.
std::filesystem::path ModulePath() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder =
        error ? std::filesystem::path(".") : executable.parent_path();
    return folder / kDesktopModuleFile;
}

} // namespace

int RunDesktopModule(int argc, char** argv, const std::string& documentFile) {
    const std::filesystem::path path = ModulePath();
    // Loaded for good: Qt registers clean-up that runs at exit, after main returns.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::cerr << "ruvo: cannot load the desktop program: " << ::dlerror() << '\n';
        return 1;
    }
    auto* entry = reinterpret_cast<RuvoDesktopMainFunction*>(::dlsym(module, kDesktopEntryName));
    if (entry == nullptr) {
        std::cerr << "ruvo: " << path.string() << " has no desktop program in it\n";
        return 1;
    }
    return entry(argc, argv, documentFile.c_str());
}
