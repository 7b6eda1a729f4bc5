#include "base/SharedModule.h"

#include <dlfcn.h>

std::optional<SharedModule> SharedModule::Open(const std::string& path, std::string& reason) {
    // RTLD_LOCAL: the module's symbols never stand in for the program's own.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        reason = error ? error : "it could not be loaded";
        return std::nullopt;
    }
    return SharedModule(handle);
}

void* SharedModule::Symbol(const char* name) const {
    return ::dlsym(handle_.get(), name);
}

void SharedModule::Closer::operator()(void* handle) const {
    ::dlclose(handle);
}
