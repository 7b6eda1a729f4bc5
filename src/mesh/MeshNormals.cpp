#include "mesh/MeshNormals.h"

#include "base/Diagnostics.h"
#include "base/LargeArrays.h"
#include "base/Radians.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

// A vector of no usable length (a degenerate triangle, opposite normals) stays zero rather than
// becoming NaN.
Vec3f Normalised(const Vec3f& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return {};
    }
    return {v.x / length, v.y / length, v.z / length};
}

bool PositionsValid(const Mesh& mesh, const MeshTriangle& triangle) {
    for (const uint32_t position : triangle.position) {
        if (position >= mesh.positions.size()) {
            return false;
        }
    }
    return true;
}

bool FacetNormalsCurrent(const Mesh& mesh) {
    return mesh.facetNormals.size() == mesh.triangles.size();
}

// Which blocks of consecutive triangles use each part of the vertices, so that linking a part
// need not read the others: in a model whose triangles follow its vertices, each part is used by
// a fraction of the blocks.
class BlocksOfVertexParts {
public:
    static constexpr std::size_t kBlock = 4096; // triangles

    // Checks on every core that each triangle names vertices of the mesh; nothing when one does
    // not. The vertices are cut into `parts` parts as ForEachPart cuts them.
    static std::optional<BlocksOfVertexParts> Find(const Mesh& mesh, std::size_t parts) {
        BlocksOfVertexParts found(mesh, parts);
        const std::size_t blocks = found.blocks_;
        const std::size_t blockParts = PartsFor(mesh.triangles.size());
        std::vector<char> valid(blockParts, 1);
        // Each block is looked at by one core alone, so that no two write the same flag.
        ForEachPart(blocks, blockParts,
                    [&](std::size_t blockPart, std::size_t first, std::size_t last) {
                        for (std::size_t block = first; block < last; ++block) {
                            if (!found.Mark(mesh, block)) {
                                valid[blockPart] = 0;
                                return;
                            }
                        }
                    });
        if (std::find(valid.begin(), valid.end(), 0) != valid.end()) {
            return std::nullopt;
        }
        return found;
    }

    std::size_t Parts() const { return partEnds_.size(); }

    // The same from the last run to the first.
    template <typename Work> void ForEachUseBackwards(std::size_t part, const Work& work) const {
        for (std::size_t block = blocks_; block-- > 0;) {
            if (used_[part * blocks_ + block] != 0) {
                work(block * kBlock, std::min(triangles_, (block + 1) * kBlock));
            }
        }
    }

    // Calls work(begin, end) on each run of triangles used by the part, in file order.
    template <typename Work> void ForEachUse(std::size_t part, const Work& work) const {
        for (std::size_t block = 0; block < blocks_; ++block) {
            if (used_[part * blocks_ + block] != 0) {
                work(block * kBlock, std::min(triangles_, (block + 1) * kBlock));
            }
        }
    }

private:
    BlocksOfVertexParts(const Mesh& mesh, std::size_t parts)
        : triangles_(mesh.triangles.size()), blocks_((triangles_ + kBlock - 1) / kBlock),
          partEnds_(parts), used_(parts * blocks_, 0) {
        const std::size_t vertices = mesh.positions.size();
        for (std::size_t part = 0; part < parts; ++part) {
            partEnds_[part] = vertices * (part + 1) / parts;
        }
    }

    // Marks the parts whose vertex range the block's corners reach, from its smallest and largest
    // vertex: on two cores exactly the parts the block uses; on more, a part between two used
    // ones may be marked as well, and then passes over the block's triangles (every walk of a
    // part's blocks looks only at its own vertices).
    bool Mark(const Mesh& mesh, std::size_t block) {
        const std::size_t end = std::min(triangles_, (block + 1) * kBlock);
        uint32_t smallest = std::numeric_limits<uint32_t>::max();
        uint32_t largest = 0;
        for (std::size_t t = block * kBlock; t < end; ++t) {
            for (const uint32_t index : mesh.triangles[t].position) {
                smallest = std::min(smallest, index);
                largest = std::max(largest, index);
            }
        }
        if (largest >= mesh.positions.size()) {
            return false;
        }
        std::size_t partBegin = 0;
        for (std::size_t part = 0; part < partEnds_.size(); ++part) {
            if (smallest < partEnds_[part] && largest >= partBegin) {
                used_[part * blocks_ + block] = 1;
            }
            partBegin = partEnds_[part];
        }
        return true;
    }

    std::size_t triangles_;
    std::size_t blocks_;
    std::vector<std::size_t> partEnds_;
    std::vector<char> used_; // part by part, a flag per block
};

// For each vertex, the corners that use it (3 * triangle + corner), from the last triangle in
// file order to the first: the order in which the neighbours are weighed. The lists are chained
// through the triangles' normal indices, which the smoothing replaces anyway, so that they take no
// memory beyond one head per vertex: a link holds the next corner + 1, and 0 ends a list.
class CornerLists {
public:
    CornerLists(Mesh& mesh, const BlocksOfVertexParts& blocks) : triangles_(mesh.triangles) {
        const std::size_t vertices = mesh.positions.size();
        AllocateExactly(head_, vertices, 0u);
        // Each part of the vertices links its own corners, going through the triangles that use
        // it; the lists come out as one pass over all vertices would make them.
        ForEachPart(vertices, blocks.Parts(),
                    [this, &blocks](std::size_t part, std::size_t first, std::size_t end) {
                        blocks.ForEachUse(part, [&](std::size_t begin, std::size_t stop) {
                            Link(first, end, begin, stop);
                        });
                    });
    }

    // The first corner of vertex v's list, or kEnd.
    uint32_t First(std::size_t v) const { return head_[v] - 1; }
    // The corner after `corner` in its vertex's list, or kEnd. Read it before the corner's normal
    // index is written.
    uint32_t Next(uint32_t corner) const { return Link(corner) - 1; }

    static constexpr uint32_t kEnd = ~uint32_t{0};

private:
    // Puts each corner of a vertex in [first, end) used by the triangles [begin, stop) in front
    // of the ones met before it, so that a list runs backwards.
    void Link(std::size_t first, std::size_t end, std::size_t begin, std::size_t stop) {
        for (std::size_t t = begin; t < stop; ++t) {
            for (int corner = 0; corner < 3; ++corner) {
                const std::size_t vertex = triangles_[t].position[corner];
                if (vertex >= first && vertex < end) {
                    const std::size_t number = 3 * t + static_cast<std::size_t>(corner);
                    Link(number) = head_[vertex];
                    head_[vertex] = static_cast<uint32_t>(number + 1);
                }
            }
        }
    }

    uint32_t& Link(std::size_t corner) const { return triangles_[corner / 3].normal[corner % 3]; }

    std::vector<MeshTriangle>& triangles_;
    std::vector<uint32_t> head_;
};

// Smooths the facet normals around each vertex: the neighbours whose facet normal is within the
// crease angle of the reference (the facet normal of the last triangle in file order using the
// vertex) share one averaged normal; each of the others keeps its facet normal.
class VertexSmoothing {
public:
    VertexSmoothing(Mesh& mesh, float threshold, const BlocksOfVertexParts& blocks)
        : facetNormals_(mesh.facetNormals), threshold_(threshold), lists_(mesh, blocks) {}

    // The number of normals vertex v stores: one average when any neighbour is averaged, plus
    // one per neighbour that is not.
    uint32_t CountNormals(std::size_t v) const {
        const uint32_t first = lists_.First(v);
        if (first == CornerLists::kEnd) {
            ReportDiagnostic("glmVertexNormals(): vertex w/o a triangle");
            return 0;
        }
        const Vec3f reference = Facet(first);
        uint32_t count = 0, kept = 0;
        for (uint32_t corner = first; corner != CornerLists::kEnd; corner = lists_.Next(corner)) {
            ++count;
            kept += Dot(Facet(corner), reference) > threshold_ ? 0 : 1;
        }
        return kept + (kept < count ? 1 : 0);
    }

    // Stores vertex v's normals from number `next` on and points its corners at them; returns
    // the number after the last one stored. Only v's corners are written, so vertices may be
    // done in parallel.
    uint32_t StoreNormals(std::size_t v, uint32_t next, Mesh& mesh) const {
        const uint32_t first = lists_.First(v);
        if (first == CornerLists::kEnd) {
            return next;
        }
        const Vec3f reference = Facet(first);
        Vec3f sum;
        bool anyAveraged = false;
        // The corners (nearly every vertex has few) are remembered on the way, so that the second
        // round need not follow the links again: each link is a wait on memory.
        std::array<uint32_t, kRemembered> corners;
        uint64_t averagedBits = 0;
        std::size_t count = 0;
        for (uint32_t corner = first; corner != CornerLists::kEnd; corner = lists_.Next(corner)) {
            const Vec3f facet = Facet(corner);
            const bool averaged = Dot(facet, reference) > threshold_;
            if (averaged) {
                anyAveraged = true;
                sum = {sum.x + facet.x, sum.y + facet.y, sum.z + facet.z};
            }
            if (count < kRemembered) {
                corners[count] = corner;
                averagedBits |= uint64_t{averaged} << count;
            }
            ++count;
        }
        uint32_t average = 0;
        if (anyAveraged) {
            mesh.normals[next] = Normalised(sum);
            average = next++;
        }
        const auto pointAt = [&](uint32_t corner, bool averaged) {
            uint32_t& normalIndex = mesh.triangles[corner / 3].normal[corner % 3];
            if (averaged) {
                normalIndex = average;
            } else {
                mesh.normals[next] = Facet(corner);
                normalIndex = next++;
            }
        };
        if (count <= kRemembered) {
            for (std::size_t i = 0; i < count; ++i) {
                pointAt(corners[i], ((averagedBits >> i) & 1) != 0);
            }
            return next;
        }
        for (uint32_t corner = first; corner != CornerLists::kEnd;) {
            const uint32_t following = lists_.Next(corner); // the link is overwritten below
            pointAt(corner, Dot(Facet(corner), reference) > threshold_);
            corner = following;
        }
        return next;
    }

private:
    static constexpr std::size_t kRemembered = 64; // one bit each in a 64-bit word

    Vec3f Facet(uint32_t corner) const { return facetNormals_[corner / 3]; }

    const std::vector<Vec3f>& facetNormals_;
    float threshold_;
    CornerLists lists_;
};

// The unit normal of a triangle whose corners are vertices of the mesh.
Vec3f FacetNormal(const Mesh& mesh, const MeshTriangle& triangle) {
    const Vec3f& p0 = mesh.positions[triangle.position[0]];
    const Vec3f u = mesh.positions[triangle.position[1]] - p0;
    const Vec3f v = mesh.positions[triangle.position[2]] - p0;
    return Normalised(Cross(u, v));
}

// Counts, for one part of the vertices, the normals the smoothing stores, walking the triangles
// that use the part once, from the last in file order to the first: a vertex's first corner met
// is of its last triangle, whose facet normal is the reference the others are weighed against.
// The facet normals are worked out as the walk meets the triangles, as ComputeFacetNormals works
// them out; no list of corners is linked and no normal is stored but each vertex's reference.
class PartNormalCount {
public:
    PartNormalCount(const Mesh& mesh, float threshold, std::size_t first, std::size_t end)
        : mesh_(mesh), threshold_(threshold), first_(first), end_(end), reference_(end - first),
          stored_(end - first, kNone) {}

    // The triangles [begin, stop), from the last to the first; runs are taken backwards too.
    void CountBackwards(std::size_t begin, std::size_t stop) {
        for (std::size_t t = stop; t-- > begin;) {
            const MeshTriangle& triangle = mesh_.triangles[t];
            bool made = false;
            Vec3f facet;
            for (const uint32_t vertex : triangle.position) {
                if (vertex >= first_ && vertex < end_) {
                    if (!made) {
                        facet = FacetNormal(mesh_, triangle);
                        made = true;
                    }
                    Count(vertex - first_, facet);
                }
            }
        }
    }

    // One average when any corner is averaged, plus one per corner that is not.
    std::size_t Total() const {
        std::size_t total = 0;
        for (const uint32_t stored : stored_) {
            if (stored == kNone) {
                ReportDiagnostic("glmVertexNormals(): vertex w/o a triangle");
                continue;
            }
            total += (stored & ~kAveraged) + (stored >> 31);
        }
        return total;
    }

private:
    // A vertex no triangle has reached yet.
    static constexpr uint32_t kNone = ~uint32_t{0};
    // The top bit says that a corner is averaged; the others count the corners that are not
    // (fewer than 2^31 - 1: the smoothing numbers every corner of the mesh in 32 bits).
    static constexpr uint32_t kAveraged = uint32_t{1} << 31;

    void Count(std::size_t v, const Vec3f& facet) {
        if (stored_[v] == kNone) {
            reference_[v] = facet;
            stored_[v] = 0;
        }
        const bool averaged = Dot(facet, reference_[v]) > threshold_;
        stored_[v] = averaged ? stored_[v] | kAveraged : stored_[v] + 1;
    }

    const Mesh& mesh_;
    float threshold_;
    std::size_t first_, end_;
    std::vector<Vec3f> reference_;
    std::vector<uint32_t> stored_;
};

} // namespace

void ComputeFacetNormals(Mesh& mesh) {
    AllocateExactly(mesh.facetNormals, mesh.triangles.size(), Vec3f());
    ForEachPart(mesh.triangles.size(), [&mesh](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const MeshTriangle& triangle = mesh.triangles[i];
            if (PositionsValid(mesh, triangle)) {
                mesh.facetNormals[i] = FacetNormal(mesh, triangle);
            }
        }
    });
    mesh.revision = NextMeshRevision();
}

void ComputeVertexNormals(Mesh& mesh, float angle) {
    const std::optional<BlocksOfVertexParts> blocks =
        BlocksOfVertexParts::Find(mesh, PartsFor(mesh.triangles.size()));
    if (!blocks) {
        return; // not a mesh the reader produced; nothing sound to compute
    }
    if (!FacetNormalsCurrent(mesh)) {
        ComputeFacetNormals(mesh);
    }
    // The file's normals are replaced. Their array is kept for the new ones when it is about the
    // right size: filling pages already in use costs far less than preparing fresh ones.
    std::vector<Vec3f> fileNormals;
    fileNormals.swap(mesh.normals);
    const VertexSmoothing smoothing(mesh, static_cast<float>(std::cos(DegreesToRadians(angle))),
                                    *blocks);

    // How many normals each part of the vertices stores, and from that where each part's normals
    // start, so that the array is allocated at its exact size and filled in parallel.
    const std::size_t vertices = mesh.positions.size();
    const std::size_t parts = PartsFor(vertices);
    std::vector<uint32_t> firstNormal(parts + 1, 0);
    ForEachPart(vertices, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        uint32_t count = 0;
        for (std::size_t v = begin; v < end; ++v) {
            count += smoothing.CountNormals(v);
        }
        firstNormal[part + 1] = count;
    });
    for (std::size_t part = 1; part <= parts; ++part) {
        firstNormal[part] += firstNormal[part - 1];
    }
    const std::size_t count = firstNormal[parts];
    if (count <= fileNormals.capacity() && fileNormals.capacity() - count <= count / 8) {
        fileNormals.assign(count, Vec3f());
        mesh.normals.swap(fileNormals);
    } else {
        std::vector<Vec3f>().swap(fileNormals); // released before the new array is made
        AllocateExactly(mesh.normals, count, Vec3f());
    }
    ForEachPart(vertices, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        uint32_t normal = firstNormal[part];
        for (std::size_t v = begin; v < end; ++v) {
            normal = smoothing.StoreNormals(v, normal, mesh);
        }
    });
    mesh.revision = NextMeshRevision();
}

std::optional<std::size_t> CountVertexNormals(const Mesh& mesh, float angle) {
    const std::optional<BlocksOfVertexParts> blocks =
        BlocksOfVertexParts::Find(mesh, PartsFor(mesh.triangles.size()));
    if (!blocks) {
        return std::nullopt;
    }
    const auto threshold = static_cast<float>(std::cos(DegreesToRadians(angle)));
    std::vector<std::size_t> partTotals(blocks->Parts(), 0);
    ForEachPart(mesh.positions.size(), blocks->Parts(),
                [&](std::size_t part, std::size_t first, std::size_t end) {
                    PartNormalCount count(mesh, threshold, first, end);
                    blocks->ForEachUseBackwards(part,
                                                [&count](std::size_t begin, std::size_t stop) {
                                                    count.CountBackwards(begin, stop);
                                                });
                    partTotals[part] = count.Total();
                });
    std::size_t total = 0;
    for (const std::size_t partTotal : partTotals) {
        total += partTotal;
    }
    return total;
}

void ScaleNormals(Mesh& mesh, float factor) {
    for (Vec3f& normal : mesh.normals) {
        normal = normal * factor;
    }
    mesh.revision = NextMeshRevision();
}
