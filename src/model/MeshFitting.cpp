#include "model/MeshFitting.h"

#include <cmath>

float glmFitToUnitBox(Mesh& mesh) {
    if (mesh.vertexCount == 0 || mesh.vertices.size() < 3 * (std::size_t{mesh.vertexCount} + 1)) {
        return 0.0f;
    }
    float min[3], max[3];
    for (int axis = 0; axis < 3; ++axis) {
        min[axis] = max[axis] = mesh.vertices[3 + axis];
    }
    for (std::size_t v = 2; v <= mesh.vertexCount; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = mesh.vertices[3 * v + axis];
            if (value < min[axis]) {
                min[axis] = value;
            }
            if (value > max[axis]) {
                max[axis] = value;
            }
        }
    }
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
    for (std::size_t v = 1; v <= mesh.vertexCount; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            float& value = mesh.vertices[3 * v + axis];
            value = (value - centre[axis]) * scale;
        }
    }
    mesh.fitSize = {size[0], size[1], size[2]};
    mesh.revision = NextMeshRevision();
    return scale;
}
