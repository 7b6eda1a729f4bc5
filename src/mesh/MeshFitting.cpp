#include "mesh/MeshFitting.h"

#include "base/StrictBounds.h"

#include <algorithm>
#include <cmath>

MeshFit MeasureFit(const Mesh& mesh) {
    MeshFit fit;
    if (mesh.positions.empty()) {
        return fit;
    }
    // Every vertex, including those no triangle uses, by the rule of the boxes, on every core.
    const std::vector<Vec3f>& positions = mesh.positions;
    const StrictBounds bounds = StrictBoundsInParts(
        positions.size(), [&positions] { return StrictBounds::At(positions[0]); },
        [&positions](StrictBounds& part, std::size_t v) { part.Widen(positions[v]); });
    const std::array<float, 3>& min = bounds.min;
    const std::array<float, 3>& max = bounds.max;
    // The extents add the magnitudes of both ends: max - min only when the range holds 0.
    for (int axis = 0; axis < 3; ++axis) {
        fit.size[axis] = std::fabs(max[axis]) + std::fabs(min[axis]);
        fit.centre[axis] = (max[axis] + min[axis]) / 2.0f;
        if (!std::isfinite(fit.size[axis]) || !std::isfinite(fit.centre[axis])) {
            return fit;
        }
    }
    float largest = fit.size[0] < fit.size[1] ? fit.size[1] : fit.size[0];
    largest = largest < fit.size[2] ? fit.size[2] : largest;
    fit.largest = largest;
    if (!(largest > 0.0f)) {
        return fit;
    }
    // An extent below 2 / FLT_MAX (a subnormal) has no finite factor: scaling by infinity
    // would make every coordinate infinite or not a number.
    const float scale = 2.0f / largest;
    if (!std::isfinite(scale)) {
        fit.refusal = MeshFit::Refusal::TooSmall;
        return fit;
    }
    fit.scale = scale;
    fit.refusal = MeshFit::Refusal::None;
    return fit;
}

float ApplyFit(Mesh& mesh, const MeshFit& fit) {
    if (fit.refusal != MeshFit::Refusal::None) {
        return 0.0f;
    }
    const float scale = fit.scale;
    const std::array<float, 3> centre = fit.centre;
    Vec3f* positions = mesh.positions.data();
    ForEachPart(mesh.positions.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t v = begin; v < end; ++v) {
            for (int axis = 0; axis < 3; ++axis) {
                float& value = positions[v][axis];
                value = (value - centre[axis]) * scale;
            }
        }
    });
    mesh.fitSize = {fit.size[0], fit.size[1], fit.size[2]};
    mesh.revision = NextMeshRevision();
    return scale;
}

float FitToUnitBox(Mesh& mesh) {
    return ApplyFit(mesh, MeasureFit(mesh));
}

std::optional<uint32_t> FirstNonFiniteVertex(const Mesh& mesh) {
    for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
        if (!IsFinite(mesh.positions[v])) {
            return static_cast<uint32_t>(v);
        }
    }
    return std::nullopt;
}
