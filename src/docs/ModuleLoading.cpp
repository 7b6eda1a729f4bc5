#include "docs/ModuleLoading.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

// Beside the executable, wherever the program was started from; empty when that folder has no
// such file.
std::filesystem::path PathBesideExecutable(const char* moduleFile) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    std::filesystem::path path = executable.parent_path() / moduleFile;
    return std::filesystem::exists(path, error) ? path : std::filesystem::path();
}

} // namespace

void* LoadModuleEntry(const char* moduleFile, const char* entryName, const char* part,
                      std::string& error) {
    const std::filesystem::path beside = PathBesideExecutable(moduleFile);
    const std::string name = beside.empty() ? std::string(moduleFile) : beside.string();
    // Loaded for good: Qt registers clean-up that runs at exit, after main returns, and a reader's
    // library may keep state of its own.
    void* module = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        error = std::string("cannot load the ") + part + ": " + (reason ? reason : moduleFile);
        return nullptr;
    }
    void* entry = ::dlsym(module, entryName);
    if (entry == nullptr) {
        error = name + " has no " + part + " in it";
    }
    return entry;
}
