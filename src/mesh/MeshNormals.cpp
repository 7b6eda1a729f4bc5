#include "mesh/MeshNormals.h"

#include "base/Diagnostics.h"
#include "base/LargeArrays.h"
#include "base/Radians.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace {

struct Vector3 {
    float x = 0, y = 0, z = 0;
};

Vector3 Load(const std::vector<float>& array, std::size_t entry) {
    return {array[3 * entry], array[3 * entry + 1], array[3 * entry + 2]};
}

void Store(std::vector<float>& array, std::size_t entry, const Vector3& v) {
    array[3 * entry] = v.x;
    array[3 * entry + 1] = v.y;
    array[3 * entry + 2] = v.z;
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A vector of no usable length (a degenerate triangle, opposite normals) stays zero rather than
// becoming NaN.
Vector3 Normalised(const Vector3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return {};
    }
    return {v.x / length, v.y / length, v.z / length};
}

bool VerticesValid(const Mesh& mesh, const MeshTriangle& triangle) {
    for (int32_t vertex : triangle.vertex) {
        if (vertex < 1 || static_cast<uint32_t>(vertex) > mesh.vertexCount) {
            return false;
        }
    }
    return mesh.vertices.size() >= 3 * (std::size_t{mesh.vertexCount} + 1);
}

bool FacetNormalsCurrent(const Mesh& mesh) {
    return mesh.facetNormalCount == mesh.triangleCount &&
           mesh.facetNormals.size() == 3 * (std::size_t{mesh.triangleCount} + 1);
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
        if (mesh.vertices.size() < 3 * (std::size_t{mesh.vertexCount} + 1) &&
            !mesh.triangles.empty()) {
            return std::nullopt;
        }
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
        const std::size_t vertices = std::size_t{mesh.vertexCount} + 1;
        for (std::size_t part = 0; part < parts; ++part) {
            partEnds_[part] = vertices * (part + 1) / parts;
        }
    }

    bool Mark(const Mesh& mesh, std::size_t block) {
        const std::size_t end = std::min(triangles_, (block + 1) * kBlock);
        // Neighbouring corners mostly lie in one part: the last part found is tried first.
        std::size_t part = 0;
        std::size_t partBegin = 0;
        for (std::size_t t = block * kBlock; t < end; ++t) {
            for (const int32_t index : mesh.triangles[t].vertex) {
                if (index < 1 || static_cast<uint32_t>(index) > mesh.vertexCount) {
                    return false;
                }
                const auto vertex = static_cast<std::size_t>(index);
                if (vertex < partBegin || vertex >= partEnds_[part]) {
                    part = static_cast<std::size_t>(
                        std::upper_bound(partEnds_.begin(), partEnds_.end(), vertex) -
                        partEnds_.begin());
                    partBegin = part == 0 ? 0 : partEnds_[part - 1];
                }
                used_[part * blocks_ + block] = 1;
            }
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
        const std::size_t vertices = std::size_t{mesh.vertexCount} + 1;
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
                const auto vertex = static_cast<std::size_t>(triangles_[t].vertex[corner]);
                if (vertex >= first && vertex < end) {
                    const std::size_t number = 3 * t + static_cast<std::size_t>(corner);
                    Link(number) = head_[vertex];
                    head_[vertex] = static_cast<uint32_t>(number + 1);
                }
            }
        }
    }

    uint32_t& Link(std::size_t corner) const {
        // The slot is an int32_t; the link is kept as its unsigned bit pattern.
        return reinterpret_cast<uint32_t&>(triangles_[corner / 3].normal[corner % 3]);
    }

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
        const Vector3 reference = Facet(first);
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
        const Vector3 reference = Facet(first);
        Vector3 sum;
        bool anyAveraged = false;
        // The corners (nearly every vertex has few) are remembered on the way, so that the second
        // round need not follow the links again: each link is a wait on memory.
        std::array<uint32_t, kRemembered> corners;
        uint64_t averagedBits = 0;
        std::size_t count = 0;
        for (uint32_t corner = first; corner != CornerLists::kEnd; corner = lists_.Next(corner)) {
            const Vector3 facet = Facet(corner);
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
            Store(mesh.normals, next, Normalised(sum));
            average = next++;
        }
        const auto pointAt = [&](uint32_t corner, bool averaged) {
            int32_t& normalIndex = mesh.triangles[corner / 3].normal[corner % 3];
            if (averaged) {
                normalIndex = static_cast<int32_t>(average);
            } else {
                Store(mesh.normals, next, Facet(corner));
                normalIndex = static_cast<int32_t>(next++);
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

    Vector3 Facet(uint32_t corner) const { return Load(facetNormals_, corner / 3 + 1); }

    const std::vector<float>& facetNormals_;
    float threshold_;
    CornerLists lists_;
};

} // namespace

void ComputeFacetNormals(Mesh& mesh) {
    mesh.facetNormalCount = mesh.triangleCount;
    AllocateExactly(mesh.facetNormals, 3 * (std::size_t{mesh.triangleCount} + 1), 0.0f);
    const std::size_t count = std::min<std::size_t>(mesh.triangleCount, mesh.triangles.size());
    ForEachPart(count, [&mesh](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            MeshTriangle& triangle = mesh.triangles[i];
            triangle.facetNormal = static_cast<int32_t>(i + 1);
            if (!VerticesValid(mesh, triangle)) {
                continue;
            }
            const Vector3 p0 = Load(mesh.vertices, static_cast<std::size_t>(triangle.vertex[0]));
            const Vector3 p1 = Load(mesh.vertices, static_cast<std::size_t>(triangle.vertex[1]));
            const Vector3 p2 = Load(mesh.vertices, static_cast<std::size_t>(triangle.vertex[2]));
            const Vector3 u = {p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
            const Vector3 v = {p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
            Store(mesh.facetNormals, i + 1, Normalised(Cross(u, v)));
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
    std::vector<float> fileNormals;
    fileNormals.swap(mesh.normals);
    mesh.normalCount = 0;
    const VertexSmoothing smoothing(mesh, static_cast<float>(std::cos(DegreesToRadians(angle))),
                                    *blocks);

    // How many normals each part of the vertices stores, and from that where each part's normals
    // start, so that the array is allocated at its exact size and filled in parallel.
    const std::size_t parts = PartsFor(mesh.vertexCount);
    std::vector<uint32_t> firstNormal(parts + 1, 0);
    ForEachPart(mesh.vertexCount, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        uint32_t count = 0;
        for (std::size_t v = begin + 1; v <= end; ++v) {
            count += smoothing.CountNormals(v);
        }
        firstNormal[part + 1] = count;
    });
    firstNormal[0] = 1;
    for (std::size_t part = 1; part <= parts; ++part) {
        firstNormal[part] += firstNormal[part - 1];
    }
    const uint32_t next = firstNormal[parts];
    const std::size_t floats = 3 * std::size_t{next};
    if (floats <= fileNormals.capacity() && fileNormals.capacity() - floats <= floats / 8) {
        fileNormals.assign(floats, 0.0f);
        mesh.normals.swap(fileNormals);
    } else {
        std::vector<float>().swap(fileNormals); // released before the new array is made
        AllocateExactly(mesh.normals, floats, 0.0f);
    }
    ForEachPart(mesh.vertexCount, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        uint32_t normal = firstNormal[part];
        for (std::size_t v = begin + 1; v <= end; ++v) {
            normal = smoothing.StoreNormals(v, normal, mesh);
        }
    });
    mesh.normalCount = next - 1;
    mesh.revision = NextMeshRevision();
}

void ScaleNormals(Mesh& mesh, float factor) {
    const std::size_t end = std::min(mesh.normals.size(), 3 * (std::size_t{mesh.normalCount} + 1));
    for (std::size_t i = 3; i < end; ++i) {
        mesh.normals[i] *= factor;
    }
    mesh.revision = NextMeshRevision();
}
