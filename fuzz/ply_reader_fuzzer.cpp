// Feeds arbitrary bytes to the PLY reader, ASCII or binary as the header says, and checks what it
// gives: a refusal with a message, or a mesh whose every index names an element and whose every
// number is finite, which stays so when prepared as the body is prepared.
#include "MeshInvariants.h"
#include "mesh/io/ply/PlyReader.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MeshImportCallbacks callbacks;
    callbacks.warning = [](const std::string& message) { fuzz_checks::Check(!message.empty()); };
    ImportProgress progress(callbacks);
    Mesh mesh;
    const Status status = ReadPly(bytes, mesh, progress);
    if (!status) {
        fuzz_checks::Check(!status.message().empty());
        return 0;
    }
    fuzz_checks::CheckScannedMesh(mesh);
    fuzz_checks::CheckPrepared(mesh);
    return 0;
}
