#pragma once

// What every mesh a reader hands back must satisfy, checked by the reader fuzzers: arrays of the
// sizes their counts say, every index naming an element of its array. A breach ends the run.
#include "mesh/Mesh.h"

#include <cstdlib>

namespace fuzz_checks {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline void CheckMesh(const Mesh& mesh) {
    Check(mesh.vertices.size() == 3 * (std::size_t{mesh.vertexCount} + 1));
    Check(mesh.colors.empty() || mesh.colors.size() == 4 * (std::size_t{mesh.vertexCount} + 1));
    Check(mesh.texCoords.empty() ||
          mesh.texCoords.size() == 2 * (std::size_t{mesh.texCoordCount} + 1));
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
        Check(group.material < mesh.materials.size());
        Check(group.triangleCount == group.triangleIndices.size());
        for (uint32_t index : group.triangleIndices) {
            Check(index < mesh.triangleCount);
        }
    }
}

} // namespace fuzz_checks
