#include "app/cli/ProgramModule.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

// Modules are looked for beside the executable, wherever the program was started from.
std::filesystem::path ModulePath(const char* moduleFile) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path folder =
        error ? std::filesystem::path(".") : executable.parent_path();
    return folder / moduleFile;
}

} // namespace

void* FindModuleEntry(const char* moduleFile, const char* entryName, const char* part,
                      std::ostream& err) {
    const std::filesystem::path path = ModulePath(moduleFile);
    // Loaded for good: Qt registers clean-up that runs at exit, after main returns.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        err << "ruvo: cannot load the " << part << ": " << ::dlerror() << '\n';
        return nullptr;
    }
    void* entry = ::dlsym(module, entryName);
    if (entry == nullptr) {
        err << "ruvo: " << path.string() << " has no " << part << " in it\n";
    }
    return entry;
}
