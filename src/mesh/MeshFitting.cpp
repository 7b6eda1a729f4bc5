#include "mesh/MeshFitting.h"

#include "base/StrictBounds.h"

#include <array>
#include <cmath>

float FitToUnitBox(Mesh& mesh) {
    if (mesh.vertexCount == 0 || mesh.vertices.size() < 3 * (std::size_t{mesh.vertexCount} + 1)) {
        return 0.0f;
    }
    // Every vertex, including those no triangle uses, by the rule of the boxes, on every core.
    const float* positions = mesh.vertices.data();
    const StrictBounds bounds = StrictBoundsInParts(
        mesh.vertexCount, [positions] { return StrictBounds::At(positions + 3); },
        [positions](StrictBounds& part, std::size_t begin, std::size_t end) {
            for (std::size_t v = begin + 1; v <= end; ++v) {
                part.Widen(positions + 3 * v);
            }
        });
    const std::array<float, 3>& min = bounds.min;
    const std::array<float, 3>& max = bounds.max;
    // The extents add the magnitudes of both ends: max - min only when the range holds 0.
    float size[3], centre[3];
    for (int axis = 0; axis < 3; ++axis) {
        size[axis] = std::fabs(max[axis]) + std::fabs(min[axis]);
        centre[axis] = (max[axis] + min[axis]) / 2.0f;
        if (!std::isfinite(size[axis]) || !std::isfinite(centre[axis])) {
            return 0.0f;
        }
    }
    float largest = size[0] < size[1] ? size[1] : size[0];
    largest = largest < size[2] ? size[2] : largest;
    if (!(largest > 0.0f)) {
        return 0.0f;
    }
    const float scale = 2.0f / largest;
    float* values = mesh.vertices.data();
    ForEachPart(mesh.vertexCount, [&](std::size_t begin, std::size_t end) {
        for (std::size_t v = begin + 1; v <= end; ++v) {
            for (int axis = 0; axis < 3; ++axis) {
                float& value = values[3 * v + axis];
                value = (value - centre[axis]) * scale;
            }
        }
    });
    mesh.fitSize = {size[0], size[1], size[2]};
    mesh.revision = NextMeshRevision();
    return scale;
}
