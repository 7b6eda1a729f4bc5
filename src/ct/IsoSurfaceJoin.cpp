#include "ct/IsoSurfaceJoin.h"

#include "base/LargeArrays.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace {

using SeamList = std::vector<std::pair<uint32_t, uint32_t>>;

// Calls found(localA, indexB) for each key both lists hold, indexB its place in b; both lists are
// in key order. False when b lacks a key of a.
template <typename Found> bool MatchKeys(const SeamList& a, const SeamList& b, const Found& found) {
    std::size_t at = 0;
    bool all = true;
    for (const auto& [key, local] : a) {
        while (at < b.size() && b[at].first < key) {
            ++at;
        }
        if (at < b.size() && b[at].first == key) {
            found(local, at);
        } else {
            all = false;
        }
    }
    return all;
}

} // namespace

IsoSurfaceJoin::IsoSurfaceJoin(std::vector<IsoSurfaceSlab>& slabs, std::size_t threads)
    : slabs_(slabs),
      threads_(std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(slabs.size(), 1))),
      ranks_(slabs.size()), ownCounts_(slabs.size(), 0), vertexOffsets_(slabs.size(), 0),
      triangleOffsets_(slabs.size(), 0), firstPlaneSums_(slabs.size()), boxes_(slabs.size()) {}

template <typename Work> void IsoSurfaceJoin::EachSlab(const Work& work) {
    std::atomic<std::size_t> next{0};
    ForEachPart(threads_, threads_, [this, &next, &work](std::size_t, std::size_t, std::size_t) {
        for (std::size_t slab = next++; slab < slabs_.size(); slab = next++) {
            work(slab);
        }
    });
}

void IsoSurfaceJoin::Rank(std::size_t slab) {
    const IsoSurfaceSlab& surface = slabs_[slab];
    std::vector<uint32_t>& rank = ranks_[slab];
    rank.assign(surface.positions.size(), 0);
    for (const auto& entry : surface.bottom) {
        rank[entry.second] = kNoIndex;
    }
    uint32_t own = 0;
    for (uint32_t& place : rank) {
        place = place == kNoIndex ? kNoIndex : own++;
    }
    ownCounts_[slab] = own;
}

// The slab's vertices and triangles into their places in the mesh, and the normals summed over
// its triangles, for its own vertices and for those the previous slab owns. False when a vertex
// on its first plane is not on the previous slab's last.
bool IsoSurfaceJoin::Place(std::size_t slab, Mesh& mesh) {
    const IsoSurfaceSlab& surface = slabs_[slab];
    const std::vector<uint32_t>& rank = ranks_[slab];
    std::vector<uint32_t> global(surface.positions.size(), kNoIndex);
    std::array<float, 6> box = {
        std::numeric_limits<float>::max(),    std::numeric_limits<float>::max(),
        std::numeric_limits<float>::max(),    std::numeric_limits<float>::lowest(),
        std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
    for (std::size_t local = 0; local < surface.positions.size(); ++local) {
        if (rank[local] == kNoIndex) {
            continue;
        }
        global[local] = static_cast<uint32_t>(vertexOffsets_[slab] + rank[local]);
        const Vec3f& p = surface.positions[local];
        mesh.positions[global[local]] = p;
        for (int axis = 0; axis < 3; ++axis) {
            box[axis] = std::min(box[axis], p[axis]);
            box[axis + 3] = std::max(box[axis + 3], p[axis]);
        }
    }
    boxes_[slab] = box;
    bool met = surface.bottom.empty();
    if (slab > 0) {
        const std::size_t below = slab - 1;
        met = MatchKeys(surface.bottom, slabs_[below].top,
                        [this, &global, below](uint32_t local, std::size_t belowIndex) {
                            const uint32_t belowLocal = slabs_[below].top[belowIndex].second;
                            global[local] = static_cast<uint32_t>(vertexOffsets_[below] +
                                                                  ranks_[below][belowLocal]);
                        });
    }
    if (!met) {
        return false;
    }
    // The sums go straight to the normals of the slab's own vertices, and to a list of their own
    // for the vertices on its first plane, which the previous slab owns.
    std::vector<Vec3f>& shared = firstPlaneSums_[slab];
    shared.assign(surface.bottom.size(), Vec3f{});
    std::vector<uint32_t> sharedAt(surface.positions.size(), kNoIndex);
    for (std::size_t index = 0; index < surface.bottom.size(); ++index) {
        sharedAt[surface.bottom[index].second] = static_cast<uint32_t>(index);
    }
    std::size_t at = triangleOffsets_[slab];
    for (const auto& corners : surface.triangles) {
        const Vec3 a = ToVec3(surface.positions[corners[0]]);
        const Vec3 area = Cross(Minus(ToVec3(surface.positions[corners[1]]), a),
                                Minus(ToVec3(surface.positions[corners[2]]), a));
        const Vec3f add = ToVec3f(area);
        MeshTriangle& triangle = mesh.triangles[at++];
        for (int corner = 0; corner < 3; ++corner) {
            const uint32_t local = corners[corner];
            Vec3f& sum =
                rank[local] == kNoIndex ? shared[sharedAt[local]] : mesh.normals[global[local]];
            sum = {sum.x + add.x, sum.y + add.y, sum.z + add.z};
            triangle.position[corner] = global[local];
        }
        triangle.normal = triangle.position;
    }
    return true;
}

// The normals of the slab's own vertices, normalised: those on its last plane first add the
// next slab's sums.
void IsoSurfaceJoin::Normals(std::size_t slab, Mesh& mesh) {
    const std::size_t offset = vertexOffsets_[slab];
    const std::vector<uint32_t>& rank = ranks_[slab];
    if (slab + 1 < slabs_.size()) {
        const std::vector<Vec3f>& above = firstPlaneSums_[slab + 1];
        MatchKeys(slabs_[slab].top, slabs_[slab + 1].bottom,
                  [&mesh, &above, &rank, offset](uint32_t local, std::size_t aboveIndex) {
                      Vec3f& sum = mesh.normals[offset + rank[local]];
                      const Vec3f& add = above[aboveIndex];
                      sum = {sum.x + add.x, sum.y + add.y, sum.z + add.z};
                  });
    }
    for (std::size_t own = 0; own < ownCounts_[slab]; ++own) {
        Vec3f& normal = mesh.normals[offset + own];
        const Vec3 sum = ToVec3(normal);
        const double length = std::sqrt(Dot(sum, sum));
        normal = length > 0 ? ToVec3f({sum.x / length, sum.y / length, sum.z / length}) : Vec3f{};
    }
}

void IsoSurfaceJoin::AddGroup(Mesh& mesh) const {
    MeshGroup group;
    group.name = "iso-surface";
    group.triangleIndices.resize(mesh.triangles.size());
    for (std::size_t index = 0; index < mesh.triangles.size(); ++index) {
        group.triangleIndices[index] = static_cast<uint32_t>(index);
    }
    std::array<float, 6> box = {0, 0, 0, 0, 0, 0};
    bool first = true;
    for (std::size_t slab = 0; slab < slabs_.size(); ++slab) {
        if (ownCounts_[slab] == 0) {
            continue;
        }
        for (int axis = 0; axis < 3; ++axis) {
            box[axis] = first ? boxes_[slab][axis] : std::min(box[axis], boxes_[slab][axis]);
            box[axis + 3] =
                first ? boxes_[slab][axis + 3] : std::max(box[axis + 3], boxes_[slab][axis + 3]);
        }
        first = false;
    }
    group.box = box;
    for (int axis = 0; axis < 3; ++axis) {
        mesh.box[axis] = std::min(box[axis], 0.0f);
        mesh.box[axis + 3] = std::max(box[axis + 3], 0.0f);
    }
    mesh.groups.push_back(std::move(group));
}

Status IsoSurfaceJoin::Into(Mesh& mesh) {
    mesh = Mesh{};
    EachSlab([this](std::size_t slab) { Rank(slab); });
    std::size_t vertices = 0, triangles = 0;
    for (std::size_t slab = 0; slab < slabs_.size(); ++slab) {
        vertexOffsets_[slab] = vertices;
        triangleOffsets_[slab] = triangles;
        vertices += ownCounts_[slab];
        triangles += slabs_[slab].triangles.size();
    }
    if (vertices >= kNoIndex) {
        slabs_.clear();
        return Status::Failure("The iso-surface has too many vertices to keep.");
    }
    // Small pages: asking for huge ones made the system stall, compacting memory, for up to a
    // second and a half on a busy machine, where small ones cost a fifth of that at most.
    mesh.positions.resize(vertices);
    mesh.normals.resize(vertices);
    mesh.triangles.resize(triangles);
    std::atomic<bool> met{true};
    EachSlab([this, &mesh, &met](std::size_t slab) {
        if (!Place(slab, mesh)) {
            met = false;
        }
    });
    if (!met) {
        slabs_.clear();
        mesh = Mesh{};
        return Status::Failure("The iso-surface's slabs do not meet.");
    }
    EachSlab([this, &mesh](std::size_t slab) { Normals(slab, mesh); });
    AddGroup(mesh);
    slabs_.clear();
    return Status::Ok();
}
