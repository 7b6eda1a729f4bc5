#include "ct/CtDicomModule.h"

#include "base/SharedModule.h"

#include <optional>
#include <system_error>

namespace {

constexpr char kModuleFile[] = "libruvo_ctdicom.so";

// Where the module may be, in the order tried: beside the program (the build folder, or a
// folder the program was copied to with it); where this build put it; where it is installed.
std::vector<std::string> ModuleCandidates() {
    std::vector<std::string> candidates;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        candidates.push_back((program.parent_path() / kModuleFile).string());
    }
    candidates.emplace_back(RUVO_CTDICOM_BUILT);
    candidates.emplace_back(RUVO_CTDICOM_INSTALLED);
    return candidates;
}

// The loaded module and its functions, or why none could be had.
struct LoadedDicomModule {
    std::optional<SharedModule> module;
    const CtDicomFunctions* functions = nullptr;
    std::string reason;
};

// Takes the first candidate that exists and gives the functions of this build's interface; the
// reason names the last one that exists but could not be used.
LoadedDicomModule LoadFirstUsable() {
    LoadedDicomModule loaded;
    loaded.reason = std::string("the file ") + kModuleFile +
                    " was found neither beside the program nor where it is installed";
    for (const std::string& path : ModuleCandidates()) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            continue;
        }
        std::string why;
        std::optional<SharedModule> module = SharedModule::Open(path, why);
        if (!module) {
            loaded.reason = why;
            continue;
        }
        const auto entry = reinterpret_cast<CtDicomEntry>(module->Symbol(kCtDicomEntryName));
        const CtDicomFunctions* functions = entry ? entry(kCtDicomInterface) : nullptr;
        if (!functions) {
            loaded.reason = path + " was built for another version of the program";
            continue;
        }
        loaded.module = std::move(module);
        loaded.functions = functions;
        return loaded;
    }
    return loaded;
}

} // namespace

const CtDicomFunctions* LoadCtDicomModule(std::string& reason) {
    // Loaded once, by the first caller; kept until the program ends.
    static const LoadedDicomModule loaded = LoadFirstUsable();
    if (!loaded.functions) {
        reason = "The DICOM reader could not be loaded: " + loaded.reason + ".";
    }
    return loaded.functions;
}
