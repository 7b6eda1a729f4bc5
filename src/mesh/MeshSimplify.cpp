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
    for (const Vec3f& position : mesh.positions) {
        for (int axis = 0; axis < 3; ++axis) {
            bounds.min[axis] = std::min(bounds.min[axis], position[axis]);
            bounds.max[axis] = std::max(bounds.max[axis], position[axis]);
        }
    }
    return bounds;
}

// Every position of the mesh merged with those in its cell: the new positions (the means of
// their cells) and, per old position, its new index.
struct MergedPositions {
    std::vector<Vec3f> positions;
    std::vector<uint32_t> of;
};

MergedPositions MergeByCell(const Mesh& mesh, const Bounds& bounds, double cell) {
    std::vector<double> sums;
    std::vector<uint32_t> counts;
    std::unordered_map<uint64_t, uint32_t> cells;
    MergedPositions merged;
    merged.of.assign(mesh.positions.size(), 0);
    for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
        uint64_t key = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const double offset = (mesh.positions[v][axis] - bounds.min[axis]) / cell;
            key = key << 21 | static_cast<uint64_t>(std::clamp(offset, 0.0, 2097151.0));
        }
        const auto [found, added] = cells.try_emplace(key, static_cast<uint32_t>(counts.size()));
        if (added) {
            counts.push_back(0);
            sums.insert(sums.end(), {0.0, 0.0, 0.0});
        }
        merged.of[v] = found->second;
        ++counts[found->second];
        for (int axis = 0; axis < 3; ++axis) {
            sums[3 * found->second + axis] += mesh.positions[v][axis];
        }
    }
    merged.positions.resize(counts.size());
    for (std::size_t v = 0; v < counts.size(); ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            merged.positions[v][axis] = static_cast<float>(sums[3 * v + axis] / counts[v]);
        }
    }
    return merged;
}

Mesh Clustered(const Mesh& mesh, const Bounds& bounds, double cell) {
    Mesh result;
    result.path = mesh.path;
    result.materials = mesh.materials;
    MergedPositions merged = MergeByCell(mesh, bounds, cell);
    result.positions = std::move(merged.positions);
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
                valid = valid && source.position[corner] < mesh.positions.size();
                triangle.position[corner] = valid ? merged.of[source.position[corner]] : 0;
            }
            if (!valid || triangle.position[0] == triangle.position[1] ||
                triangle.position[1] == triangle.position[2] ||
                triangle.position[0] == triangle.position[2]) {
                continue;
            }
            kept.triangleIndices.push_back(static_cast<uint32_t>(result.triangles.size()));
            result.triangles.push_back(triangle);
        }
        result.groups.push_back(std::move(kept));
    }
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
        if (result.triangles.size() <= targetTriangles) {
            break;
        }
        cell /= kCoarser;
    }
    ComputeFacetNormals(result);
    ComputeVertexNormals(result, kCreaseAngle);
    result.revision = NextMeshRevision();
    return result;
}
