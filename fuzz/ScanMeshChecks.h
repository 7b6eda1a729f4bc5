// The checks the PLY and STL fuzzers make on what a reader gives: every array has the size its
// count says, every index names an element, every number is finite, and the mesh prepared as the
// body is prepared stays finite and inside the unit box.
#pragma once

#include "mesh/Mesh.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace scanchecks {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Entry 0 of a 1-based array is never used; the rest must be finite.
inline void CheckFinite(const std::vector<float>& values, std::size_t width) {
    for (std::size_t i = width; i < values.size(); ++i) {
        Check(std::isfinite(values[i]));
    }
}

inline void CheckMesh(const Mesh& mesh) {
    Check(mesh.vertices.size() == 3 * (std::size_t{mesh.vertexCount} + 1));
    Check(mesh.colors.empty() || mesh.colors.size() == 4 * (std::size_t{mesh.vertexCount} + 1));
    Check(mesh.texCoords.empty() ||
          mesh.texCoords.size() == 2 * (std::size_t{mesh.texCoordCount} + 1));
    Check(mesh.triangles.size() == mesh.triangleCount && mesh.triangleCount > 0);
    Check(mesh.groups.size() == mesh.groupCount);
    Check(mesh.materials.size() == mesh.materialCount);
    CheckFinite(mesh.vertices, 3);
    CheckFinite(mesh.colors, 4);
    CheckFinite(mesh.texCoords, 2);
    for (const MeshTriangle& triangle : mesh.triangles) {
        for (int corner = 0; corner < 3; ++corner) {
            Check(triangle.vertex[corner] >= 1 &&
                  static_cast<uint32_t>(triangle.vertex[corner]) <= mesh.vertexCount);
            Check(triangle.texCoord[corner] >= 0 &&
                  static_cast<uint32_t>(triangle.texCoord[corner]) <= mesh.texCoordCount);
        }
    }
    std::size_t grouped = 0;
    for (const MeshGroup& group : mesh.groups) {
        Check(group.material < mesh.materials.size());
        Check(group.triangleCount == group.triangleIndices.size());
        for (uint32_t index : group.triangleIndices) {
            Check(index < mesh.triangleCount);
        }
        grouped += group.triangleCount;
    }
    Check(grouped == mesh.triangleCount);
}

// Fits and smooths the mesh as the body does; a fitted mesh lies in the unit box.
inline void CheckPrepared(Mesh& mesh) {
    if (FitToUnitBox(mesh) == 0.0f) {
        return;
    }
    CheckFinite(mesh.vertices, 3);
    for (std::size_t i = 3; i < mesh.vertices.size(); ++i) {
        Check(std::fabs(mesh.vertices[i]) <= 1.001f);
    }
    ComputeFacetNormals(mesh);
    ComputeVertexNormals(mesh, 90.0f);
    CheckFinite(mesh.facetNormals, 3);
    CheckFinite(mesh.normals, 3);
}

} // namespace scanchecks
