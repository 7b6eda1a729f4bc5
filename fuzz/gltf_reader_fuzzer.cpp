// Feeds arbitrary bytes to the glTF reader, as a binary file when they start with the binary
// mark and as a text file otherwise, read from memory (so only data URIs and the binary chunk can
// hold buffers); checks the mesh it hands back and that a refusal says why.
#include "MeshInvariants.h"
#include "mesh/io/gltf/GltfReader.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MeshImportCallbacks callbacks;
    callbacks.warning = [](const std::string& message) { fuzz_checks::Check(!message.empty()); };
    ImportProgress progress(callbacks);
    Mesh mesh;
    const Status status = ReadGltf(bytes, bytes.starts_with("glTF"), std::string(), mesh, progress);
    if (!status) {
        fuzz_checks::Check(!status.message().empty());
        return 0;
    }
    fuzz_checks::CheckMesh(mesh);
    return 0;
}
