#pragma once

// What every mesh a reader hands back must satisfy, checked by the mesh fuzzers: arrays of the
// sizes their counts say, every index naming an element of its array. A breach ends the run.
#include "mesh/Mesh.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace fuzz_checks {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Whether a mesh may come without any material: a Wavefront model without a material library
// has none, and its groups then name material 0, which drawing treats as none. Every other
// reader gives the "default" material at least.
enum class Materials { AlwaysPresent, AbsentWithoutALibrary };

inline void CheckMesh(const Mesh& mesh, Materials materials = Materials::AlwaysPresent) {
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
    const bool mayLack = materials == Materials::AbsentWithoutALibrary && mesh.materials.empty();
    for (const MeshGroup& group : mesh.groups) {
        Check(mayLack ? group.material == 0 : group.material < mesh.materials.size());
        Check(group.triangleCount == group.triangleIndices.size());
        for (uint32_t index : group.triangleIndices) {
            Check(index < mesh.triangleCount);
        }
    }
}

// Entry 0 of a 1-based array is never used; the rest must be finite.
inline void CheckFinite(const std::vector<float>& values, std::size_t width) {
    for (std::size_t i = width; i < values.size(); ++i) {
        Check(std::isfinite(values[i]));
    }
}

// What the PLY and STL readers promise beyond that: at least one triangle, the material count
// as the array, every number finite and every triangle in exactly one group's list.
inline void CheckScannedMesh(const Mesh& mesh) {
    CheckMesh(mesh);
    Check(mesh.triangleCount > 0);
    Check(mesh.materials.size() == mesh.materialCount);
    CheckFinite(mesh.vertices, 3);
    CheckFinite(mesh.colors, 4);
    CheckFinite(mesh.texCoords, 2);
    std::size_t grouped = 0;
    for (const MeshGroup& group : mesh.groups) {
        grouped += group.triangleCount;
    }
    Check(grouped == mesh.triangleCount);
}

// Fits and smooths the mesh as the body does; a fitted mesh lies in the unit box and stays finite.
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

} // namespace fuzz_checks
