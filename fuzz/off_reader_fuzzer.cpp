// Feeds arbitrary bytes to the OFF reader; checks the mesh it hands back and that a refusal says
// why.
#include "MeshInvariants.h"
#include "mesh/io/off/OffReader.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MeshImportCallbacks callbacks;
    ImportProgress progress(callbacks);
    Mesh mesh;
    const Status status = ReadOff(bytes, mesh, progress);
    if (!status) {
        fuzz_checks::Check(!status.message().empty());
        return 0;
    }
    fuzz_checks::CheckMesh(mesh);
    return 0;
}
