// Feeds arbitrary bytes to the mesh import entry under a name whose extension the first byte
// picks, so that every reader (and the choice by content) is reached; then prepares the mesh as
// the body is prepared and checks that every index it holds names an element of its array.
#include "MeshInvariants.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/MeshFormat.h"
#include "mesh/io/MeshImport.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static const char* const kNames[] = {"m.obj", "m.ply", "m.stl", "m.glb", "m.gltf", "m.off"};
    const std::string name = kNames[data[0] % 6];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    MeshImportCallbacks callbacks;
    callbacks.warning = [](const std::string& message) { fuzz_checks::Check(!message.empty()); };
    MeshImportResult result = ImportMeshFromMemory(bytes, name, callbacks);
    if (!result.mesh) {
        fuzz_checks::Check(!result.error.empty());
        return 0;
    }
    // A Wavefront model's numbers are handed on as written; every other reader's are finite.
    const bool obj = DetectMeshFormat(name, bytes) == MeshFormat::Obj;
    fuzz_checks::CheckMesh(*result.mesh, fuzz_checks::Materials::AbsentWithoutALibrary,
                           obj ? MeshNumbers::AsWritten : MeshNumbers::Finite);
    if (FitToUnitBox(*result.mesh) != 0.0f) {
        fuzz_checks::SmoothCheckingTheCount(*result.mesh);
    }
    return 0;
}
