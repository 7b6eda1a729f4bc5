// Feeds arbitrary bytes to the mesh import entry under a name whose extension the first byte
// picks, so that every reader (and the choice by content) is reached; then prepares the mesh as
// the body is prepared and checks that every index it holds names an element of its array.
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/MeshImport.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckMesh(const Mesh& mesh) {
    Check(mesh.vertices.size() == 3 * (std::size_t{mesh.vertexCount} + 1));
    Check(mesh.colors.empty() || mesh.colors.size() == 4 * (std::size_t{mesh.vertexCount} + 1));
    Check(mesh.triangles.size() == mesh.triangleCount);
    Check(mesh.groups.size() == mesh.groupCount);
    for (const MeshTriangle& triangle : mesh.triangles) {
        for (int corner = 0; corner < 3; ++corner) {
            Check(triangle.vertex[corner] >= 1 &&
                  static_cast<uint32_t>(triangle.vertex[corner]) <= mesh.vertexCount);
            Check(triangle.texCoord[corner] >= 0 &&
                  static_cast<uint32_t>(triangle.texCoord[corner]) <= mesh.texCoordCount);
        }
    }
    for (const MeshGroup& group : mesh.groups) {
        // A Wavefront model without a material library has no materials at all; its groups
        // then name material 0, which drawing treats as none.
        Check(mesh.materials.empty() ? group.material == 0
                                     : group.material < mesh.materials.size());
        Check(group.triangleCount == group.triangleIndices.size());
        for (uint32_t index : group.triangleIndices) {
            Check(index < mesh.triangleCount);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static const char* const kNames[] = {"m.obj", "m.ply", "m.stl", "m.glb", "m.gltf", "m.off"};
    const std::string name = kNames[data[0] % 6];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    MeshImportCallbacks callbacks;
    callbacks.warning = [](const std::string& message) { Check(!message.empty()); };
    MeshImportResult result = ImportMeshFromMemory(bytes, name, callbacks);
    if (!result.mesh) {
        Check(!result.error.empty());
        return 0;
    }
    CheckMesh(*result.mesh);
    if (FitToUnitBox(*result.mesh) != 0.0f) {
        ComputeFacetNormals(*result.mesh);
        ComputeVertexNormals(*result.mesh, 90.0f);
    }
    return 0;
}
