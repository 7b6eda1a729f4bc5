#include "scene/EmbreeLibrary.h"

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <vector>

namespace {

std::atomic<bool> processEnding{false};

// Registered once the library is loaded, so that at exit it runs before the library's own
// clean-up (exit handlers run in the reverse of the order they were registered in).
void MarkProcessEnding() {
    processEnding = true;
}

struct LoadedEmbree {
    EmbreeLibrary functions;
    std::string error; // empty once every function is bound
};

// Binds one function; the first one missing is named in `error`.
template <typename Function>
void Bind(void* library, const char* name, Function& function, std::string& error) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (function == nullptr && error.empty()) {
        error = std::string("the ray-tracing library has no ") + name;
    }
}

LoadedEmbree Load() {
    LoadedEmbree loaded;
    // Never closed: devices may outlive any one caster, and the library's threads end with the
    // process.
    void* library = ::dlopen(RUVO_EMBREE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = ::dlerror();
        loaded.error = std::string("the ray-tracing library cannot be loaded: ") +
                       (reason ? reason : RUVO_EMBREE_LIBRARY);
        return loaded;
    }
    std::atexit(MarkProcessEnding);
    EmbreeLibrary& f = loaded.functions;
    std::string& error = loaded.error;
    Bind(library, "rtcNewDevice", f.NewDevice, error);
    Bind(library, "rtcReleaseDevice", f.ReleaseDevice, error);
    Bind(library, "rtcGetDeviceError", f.GetDeviceError, error);
    Bind(library, "rtcNewGeometry", f.NewGeometry, error);
    Bind(library, "rtcReleaseGeometry", f.ReleaseGeometry, error);
    Bind(library, "rtcSetGeometryBuildQuality", f.SetGeometryBuildQuality, error);
    Bind(library, "rtcSetNewGeometryBuffer", f.SetNewGeometryBuffer, error);
    Bind(library, "rtcUpdateGeometryBuffer", f.UpdateGeometryBuffer, error);
    Bind(library, "rtcCommitGeometry", f.CommitGeometry, error);
    Bind(library, "rtcNewScene", f.NewScene, error);
    Bind(library, "rtcReleaseScene", f.ReleaseScene, error);
    Bind(library, "rtcSetSceneFlags", f.SetSceneFlags, error);
    Bind(library, "rtcSetSceneBuildQuality", f.SetSceneBuildQuality, error);
    Bind(library, "rtcAttachGeometry", f.AttachGeometry, error);
    Bind(library, "rtcCommitScene", f.CommitScene, error);
    Bind(library, "rtcIntersect1", f.Intersect1, error);
    return loaded;
}

} // namespace

const EmbreeLibrary* EmbreeLibrary::Get(std::string& error) {
    static const LoadedEmbree loaded = Load(); // thread-safe, once
    if (!loaded.error.empty()) {
        error = loaded.error;
        return nullptr;
    }
    return &loaded.functions;
}

bool EmbreeLibrary::ProcessEnding() {
    return processEnding;
}

void EmbreeLibrary::LeaveToSystem(std::initializer_list<const void*> handles) {
    // Never destroyed, so that the list outlasts every exit handler.
    static std::vector<const void*>& left = *new std::vector<const void*>();
    left.insert(left.end(), handles);
}
