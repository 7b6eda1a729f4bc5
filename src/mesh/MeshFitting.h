#pragma once

#include "mesh/Mesh.h"

#include <array>
#include <cstdint>
#include <optional>

// How a mesh is fitted to the unit box: centred on its bounding-box centre and scaled so that
// the largest recorded extent becomes 2.
struct MeshFit {
    enum class Refusal {
        None,
        NoExtent, // no vertices, a zero extent, or an extent that is not a number
        TooSmall, // an extent so small that the factor to scale it up is not a finite number
    };
    Refusal refusal = Refusal::NoExtent;
    std::array<float, 3> size = {0, 0, 0};   // the recorded extents
    std::array<float, 3> centre = {0, 0, 0}; // the centre of the box
    float largest = 0;                       // the largest extent
    float scale = 0;                         // 2 / largest, when there is no refusal
};

// Measures the mesh for FitToUnitBox without changing it.
MeshFit MeasureFit(const Mesh& mesh);

// Centres and scales the mesh as `fit` (measured on it) says, records fitSize and returns the
// factor applied; a refused fit leaves the mesh unchanged and returns 0.
float ApplyFit(Mesh& mesh, const MeshFit& fit);

// Both at once: the factor applied, or 0 when the mesh cannot be fitted (no vertices, zero
// extent, an extent that is not a number or too small to be scaled up).
float FitToUnitBox(Mesh& mesh);

// The first position (its index) with a coordinate that is not a finite number, if any.
std::optional<uint32_t> FirstNonFiniteVertex(const Mesh& mesh);
