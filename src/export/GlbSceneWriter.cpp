#include "export/GlbSceneWriter.h"

#include "docs/FileAccess.h"
#include "docs/ModuleLoading.h"
#include "export/GltfWriterModule.h"

#include <cstring>
#include <utility>

namespace {

struct LoadedEncoder {
    RuvoGltfEncodeFunction* encode = nullptr;
    std::string error;
};

// The encoder module is loaded when a scene is first encoded, and stays loaded.
const LoadedEncoder& Encoder() {
    static const LoadedEncoder encoder = [] { // thread-safe, once
        LoadedEncoder loaded;
        loaded.encode = reinterpret_cast<RuvoGltfEncodeFunction*>(
            LoadModuleEntry(kGltfModuleFile, kGltfEntryName, "glTF writer", loaded.error));
        return loaded;
    }();
    return encoder;
}

} // namespace

std::string EncodeGltfScene(const ExportScene& scene, const std::string& generator, bool binary) {
    const LoadedEncoder& encoder = Encoder();
    if (encoder.encode == nullptr) {
        return {};
    }
    GltfEncodeCall call{scene, generator, binary, {}};
    encoder.encode(call);
    return std::move(call.bytes);
}

Status WriteGlbScene(const ExportScene& scene, const std::string& path,
                     const std::string& generator) {
    if (const LoadedEncoder& encoder = Encoder(); encoder.encode == nullptr) {
        return Status::Failure("Cannot write the scene \"" + path + "\": " + encoder.error);
    }
    const std::string bytes = EncodeGltfScene(scene, generator, true);
    if (bytes.empty()) {
        return Status::Failure("The scene could not be encoded as glTF");
    }
    if (const int error = ReplaceFileContents(path, bytes); error != 0) {
        return Status::Failure("Cannot write the scene \"" + path + "\": " + std::strerror(error));
    }
    return Status::Ok();
}
