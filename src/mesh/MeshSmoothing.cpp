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

// Rows are filled by counting (each corner gives two neighbours), then each row sorted and its
// repeats dropped: the same lists as sorting every edge, without a sort of them all.
template <typename Corners>
Neighbours FindNeighbours(std::size_t positions, std::size_t triangles, const Corners& corners) {
    std::vector<uint32_t> rowStart(positions + 1, 0);
    for (std::size_t t = 0; t < triangles; ++t) {
        for (uint32_t corner : corners(t)) {
            rowStart[corner + 1] += 2;
        }
    }
    for (std::size_t index = 1; index < rowStart.size(); ++index) {
        rowStart[index] += rowStart[index - 1];
    }
    std::vector<uint32_t> all(rowStart.back()), fill(rowStart.begin(), rowStart.end() - 1);
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::array<uint32_t, 3> c = corners(t);
        for (int corner = 0; corner < 3; ++corner) {
            all[fill[c[corner]]++] = c[(corner + 1) % 3];
            all[fill[c[corner]]++] = c[(corner + 2) % 3];
        }
    }
    Neighbours neighbours;
    neighbours.start.assign(positions + 1, 0);
    neighbours.list.reserve(all.size() / 2);
    for (std::size_t index = 0; index < positions; ++index) {
        const auto begin = all.begin() + rowStart[index], end = all.begin() + rowStart[index + 1];
        std::sort(begin, end);
        neighbours.list.insert(neighbours.list.end(), begin, std::unique(begin, end));
        neighbours.start[index + 1] = static_cast<uint32_t>(neighbours.list.size());
    }
    return neighbours;
}

// One step: every position moved by `weight` toward its neighbours' mean, from `from` into `to`.
void SmoothStep(const Neighbours& neighbours, float weight, std::size_t threads,
                const std::vector<Vec3f>& from, std::vector<Vec3f>& to) {
    const std::size_t parts =
        threads == 0 ? PartsFor(from.size()) : std::min(threads, PartsFor(from.size()));
    ForEachPart(from.size(), parts, [&](std::size_t, std::size_t begin, std::size_t end) {
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

void Smooth(const Neighbours& neighbours, const TaubinOptions& options,
            std::vector<Vec3f>& positions) {
    std::vector<Vec3f> other(positions.size());
    for (int iteration = 0; iteration < options.iterations; ++iteration) {
        SmoothStep(neighbours, options.lambda, options.threads, positions, other);
        SmoothStep(neighbours, options.mu, options.threads, other, positions);
    }
}

} // namespace

void SmoothTaubin(std::vector<Vec3f>& positions,
                  const std::vector<std::array<uint32_t, 3>>& triangles,
                  const TaubinOptions& options) {
    const Neighbours neighbours = FindNeighbours(
        positions.size(), triangles.size(), [&triangles](std::size_t t) { return triangles[t]; });
    Smooth(neighbours, options, positions);
}

void SmoothTaubin(Mesh& mesh, const TaubinOptions& options) {
    const Neighbours neighbours =
        FindNeighbours(mesh.positions.size(), mesh.triangles.size(),
                       [&mesh](std::size_t t) { return mesh.triangles[t].position; });
    Smooth(neighbours, options, mesh.positions);
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
