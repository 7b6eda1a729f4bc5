#pragma once

#include <memory>
#include <optional>
#include <string>

// A shared library loaded while the program runs, for code whose libraries cost start-up time
// that most runs do not need. It stays loaded for as long as the object lives.
class SharedModule {
public:
    // The module at `path` with its symbols bound at once, or nullopt with the loader's reason.
    static std::optional<SharedModule> Open(const std::string& path, std::string& reason);

    // The address of the symbol the module exports under `name`, or nullptr.
    void* Symbol(const char* name) const;

private:
    struct Closer {
        void operator()(void* handle) const;
    };
    explicit SharedModule(void* handle) : handle_(handle) {}

    std::unique_ptr<void, Closer> handle_;
};
