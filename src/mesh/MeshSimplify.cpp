#include "mesh/MeshSimplify.h"

#include "mesh/MeshNormals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace {

constexpr int kTries = 8;
constexpr double kCoarser = 0.7;
constexpr float kCreaseAngle = 30.0f;

struct Bounds {
    std::array<float, 3> min{1e30f, 1e30f, 1e30f};
    std::array<float, 3> max{-1e30f, -1e30f, -1e30f};
};

Bounds VertexBounds(const Mesh& mesh) {
    Bounds bounds;
    for (uint32_t v = 1; v <= mesh.vertexCount; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = mesh.vertices[3 * v + axis];
            bounds.min[axis] = std::min(bounds.min[axis], value);
            bounds.max[axis] = std::max(bounds.max[axis], value);
        }
    }
    return bounds;
}

bool ValidCorner(const Mesh& mesh, int32_t index) {
    return index >= 1 && static_cast<uint32_t>(index) <= mesh.vertexCount;
}

Mesh Clustered(const Mesh& mesh, const Bounds& bounds, double cell) {
    Mesh result;
    result.path = mesh.path;
    result.materials = mesh.materials;
    result.materialCount = mesh.materialCount;
    result.vertices.assign(3, 0.0f);
    std::vector<double> sums(3, 0.0);
    std::vector<uint32_t> counts(1, 0);
    std::unordered_map<uint64_t, uint32_t> cells;
    std::vector<uint32_t> merged(mesh.vertexCount + 1, 0);
    for (uint32_t v = 1; v <= mesh.vertexCount; ++v) {
        uint64_t key = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const double offset = (mesh.vertices[3 * v + axis] - bounds.min[axis]) / cell;
            key = key << 21 | static_cast<uint64_t>(std::clamp(offset, 0.0, 2097151.0));
        }
        const auto [found, added] = cells.try_emplace(key, static_cast<uint32_t>(counts.size()));
        if (added) {
            counts.push_back(0);
            sums.insert(sums.end(), {0.0, 0.0, 0.0});
        }
        merged[v] = found->second;
        ++counts[found->second];
        for (int axis = 0; axis < 3; ++axis) {
            sums[3 * found->second + axis] += mesh.vertices[3 * v + axis];
        }
    }
    result.vertexCount = static_cast<uint32_t>(counts.size() - 1);
    result.vertices.resize(3 * counts.size());
    for (size_t v = 1; v < counts.size(); ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            result.vertices[3 * v + axis] = static_cast<float>(sums[3 * v + axis] / counts[v]);
        }
    }
    for (const MeshGroup& group : mesh.groups) {
        MeshGroup kept;
        kept.name = group.name;
        kept.material = group.material;
        kept.box = group.box;
        for (const uint32_t index : group.triangleIndices) {
            if (index >= mesh.triangles.size()) {
                continue;
            }
            const MeshTriangle& source = mesh.triangles[index];
            MeshTriangle triangle;
            bool valid = true;
            for (int corner = 0; corner < 3; ++corner) {
                valid = valid && ValidCorner(mesh, source.vertex[corner]);
                triangle.vertex[corner] =
                    valid ? static_cast<int32_t>(merged[source.vertex[corner]]) : 0;
            }
            if (!valid || triangle.vertex[0] == triangle.vertex[1] ||
                triangle.vertex[1] == triangle.vertex[2] ||
                triangle.vertex[0] == triangle.vertex[2]) {
                continue;
            }
            kept.triangleIndices.push_back(static_cast<uint32_t>(result.triangles.size()));
            result.triangles.push_back(triangle);
        }
        kept.triangleCount = static_cast<uint32_t>(kept.triangleIndices.size());
        result.groups.push_back(std::move(kept));
    }
    result.groupCount = static_cast<uint32_t>(result.groups.size());
    result.triangleCount = static_cast<uint32_t>(result.triangles.size());
    result.box = mesh.box;
    return result;
}

} // namespace

Mesh SimplifyByClustering(const Mesh& mesh, uint32_t targetTriangles) {
    const Bounds bounds = VertexBounds(mesh);
    double extent = 0;
    for (int axis = 0; axis < 3; ++axis) {
        extent = std::max(extent, static_cast<double>(bounds.max[axis] - bounds.min[axis]));
    }
    // About two triangles per occupied cell of a surface: sqrt(target / 2) cells across.
    double cell = extent / std::max(1.0, std::sqrt(targetTriangles / 2.0));
    Mesh result;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        result = Clustered(mesh, bounds, std::max(cell, 1e-6));
        if (result.triangleCount <= targetTriangles) {
            break;
        }
        cell /= kCoarser;
    }
    ComputeFacetNormals(result);
    ComputeVertexNormals(result, kCreaseAngle);
    result.revision = NextMeshRevision();
    return result;
}
