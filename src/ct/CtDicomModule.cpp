#include "ct/CtDicomModule.h"

#include "base/ProgramFiles.h"
#include "base/SharedModule.h"

#include <optional>
#include <system_error>

namespace {

constexpr char kModuleFile[] = "libruvo_ctdicom.so";

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
    for (const std::string& path :
         CompanionFileCandidates(kModuleFile, {RUVO_CTDICOM_BUILT, RUVO_CTDICOM_INSTALLED})) {
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
