#include "mesh/MeshSmoothing.h"

#include "base/LargeArrays.h"
#include "mesh/MeshNormals.h"

#include <algorithm>
#include <cmath>

namespace {

// Each position's neighbours along the triangles' edges, each once, in compressed rows.
struct Neighbours {
    std::vector<uint32_t> start; // positions + 1 offsets into `list`
    std::vector<uint32_t> list;
};

Neighbours FindNeighbours(const Mesh& mesh) {
    std::vector<std::pair<uint32_t, uint32_t>> edges;
    edges.reserve(mesh.triangles.size() * 6);
    for (const MeshTriangle& triangle : mesh.triangles) {
        for (int corner = 0; corner < 3; ++corner) {
            const uint32_t a = triangle.position[corner], b = triangle.position[(corner + 1) % 3];
            edges.emplace_back(a, b);
            edges.emplace_back(b, a);
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    Neighbours neighbours;
    neighbours.start.assign(mesh.positions.size() + 1, 0);
    neighbours.list.reserve(edges.size());
    for (const auto& [from, to] : edges) {
        ++neighbours.start[from + 1];
        neighbours.list.push_back(to);
    }
    for (std::size_t index = 1; index < neighbours.start.size(); ++index) {
        neighbours.start[index] += neighbours.start[index - 1];
    }
    return neighbours;
}

// One step: every position moved by `weight` toward its neighbours' mean, from `from` into `to`.
void SmoothStep(const Neighbours& neighbours, float weight, const std::vector<Vec3f>& from,
                std::vector<Vec3f>& to) {
    ForEachPart(from.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t index = begin; index < end; ++index) {
            const uint32_t first = neighbours.start[index], last = neighbours.start[index + 1];
            if (first == last) {
                to[index] = from[index];
                continue;
            }
            Vec3 sum;
            for (uint32_t n = first; n < last; ++n) {
                const Vec3f& p = from[neighbours.list[n]];
                sum = {sum.x + p.x, sum.y + p.y, sum.z + p.z};
            }
            const double count = last - first;
            const Vec3f& p = from[index];
            to[index] =
                ToVec3f({p.x + weight * (sum.x / count - p.x), p.y + weight * (sum.y / count - p.y),
                         p.z + weight * (sum.z / count - p.z)});
        }
    });
}

bool NormalsFollowPositions(const Mesh& mesh) {
    return mesh.normals.size() == mesh.positions.size() &&
           std::all_of(mesh.triangles.begin(), mesh.triangles.end(),
                       [](const MeshTriangle& t) { return t.normal == t.position; });
}

} // namespace

void SmoothTaubin(Mesh& mesh, const TaubinOptions& options) {
    const Neighbours neighbours = FindNeighbours(mesh);
    std::vector<Vec3f> other(mesh.positions.size());
    for (int iteration = 0; iteration < options.iterations; ++iteration) {
        SmoothStep(neighbours, options.lambda, mesh.positions, other);
        SmoothStep(neighbours, options.mu, other, mesh.positions);
    }
    if (NormalsFollowPositions(mesh)) {
        ComputePositionNormals(mesh);
    } else {
        mesh.normals.clear();
        for (MeshTriangle& triangle : mesh.triangles) {
            triangle.normal = {kNoIndex, kNoIndex, kNoIndex};
        }
    }
    if (!mesh.facetNormals.empty()) {
        ComputeFacetNormals(mesh);
    }
    mesh.revision = NextMeshRevision();
}

void ComputePositionNormals(Mesh& mesh) {
    std::vector<Vec3> sums(mesh.positions.size());
    for (MeshTriangle& triangle : mesh.triangles) {
        const Vec3 a = ToVec3(mesh.positions[triangle.position[0]]);
        const Vec3 area = Cross(Minus(ToVec3(mesh.positions[triangle.position[1]]), a),
                                Minus(ToVec3(mesh.positions[triangle.position[2]]), a));
        for (uint32_t corner : triangle.position) {
            sums[corner] = {sums[corner].x + area.x, sums[corner].y + area.y,
                            sums[corner].z + area.z};
        }
        triangle.normal = triangle.position;
    }
    mesh.normals.resize(sums.size());
    for (std::size_t index = 0; index < sums.size(); ++index) {
        const double length = std::sqrt(Dot(sums[index], sums[index]));
        mesh.normals[index] =
            length > 0
                ? ToVec3f({sums[index].x / length, sums[index].y / length, sums[index].z / length})
                : Vec3f{};
    }
}
