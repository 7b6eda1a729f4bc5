#include "docs/ModuleLoading.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

// Beside the executable, wherever the program was started from; else in the folder the build
// wrote the modules to, where the tests, benchmarks and fuzzers find them. (Not the library search
// path: under the address sanitizer the loader would search the sanitizer's own run path.)
std::filesystem::path ModulePath(const char* moduleFile) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        std::filesystem::path beside = executable.parent_path() / moduleFile;
        if (std::filesystem::exists(beside, error)) {
            return beside;
        }
    }
    return std::filesystem::path(RUVO_BUILD_MODULE_FOLDER) / moduleFile;
}

} // namespace

void* LoadModuleEntry(const char* moduleFile, const char* entryName, const char* part,
                      std::string& error) {
    const std::string path = ModulePath(moduleFile).string();
    // Loaded for good: Qt registers clean-up that runs at exit, after main returns, and a reader's
    // library may keep state of its own.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        error = std::string("cannot load the ") + part + ": " + (reason ? reason : path);
        return nullptr;
    }
    void* entry = ::dlsym(module, entryName);
    if (entry == nullptr) {
        error = path + " has no " + part + " in it";
    }
    return entry;
}
