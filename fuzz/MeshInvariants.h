#pragma once

// What every mesh a reader hands back must satisfy, checked by the mesh fuzzers: the invariants
// Validate states, and what fitting and smoothing keep of them. A breach ends the run.
#include "mesh/Mesh.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/MeshValidation.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <optional>

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

inline void CheckMesh(const Mesh& mesh, Materials materials = Materials::AlwaysPresent,
                      MeshNumbers numbers = MeshNumbers::Finite) {
    Check(Validate(mesh, numbers).ok());
    Check(materials == Materials::AbsentWithoutALibrary || !mesh.materials.empty());
}

// What the PLY and STL readers promise beyond that: at least one triangle.
inline void CheckScannedMesh(const Mesh& mesh) {
    CheckMesh(mesh);
    Check(!mesh.triangles.empty());
}

// Makes the facet normals and smooths at 90 degrees as the body does; the count alone, which the
// command line prints in place of smoothing, must be what the smoothing then makes.
inline void SmoothCheckingTheCount(Mesh& mesh) {
    const std::optional<std::size_t> counted = CountVertexNormals(mesh, 90.0f);
    const std::size_t normalsBefore = mesh.normals.size();
    ComputeFacetNormals(mesh);
    ComputeVertexNormals(mesh, 90.0f);
    Check(counted.value_or(normalsBefore) == mesh.normals.size());
}

// Fits and smooths the mesh as the body does; a fitted mesh lies in the unit box and stays valid,
// its normals finite.
inline void CheckPrepared(Mesh& mesh) {
    if (FitToUnitBox(mesh) == 0.0f) {
        return;
    }
    for (const Vec3f& position : mesh.positions) {
        for (int axis = 0; axis < 3; ++axis) {
            Check(std::fabs(position[axis]) <= 1.001f);
        }
    }
    SmoothCheckingTheCount(mesh);
    Check(Validate(mesh).ok());
}

} // namespace fuzz_checks
