#include "ct/CtSurface.h"

#include "base/LargeArrays.h"
#include "ct/IsoSurface.h"
#include "mesh/MeshSmoothing.h"
#include "mesh/MeshValidation.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <thread>
#include <unordered_map>
#include <utility>

namespace {

using Triangles = std::vector<std::array<uint32_t, 3>>;
using SeamVertices = std::vector<std::pair<uint32_t, uint32_t>>; // (plane key, vertex)

// Cell layers each chunk owns. The chunks do not depend on the number of threads.
constexpr int kChunkLayers = 160;
// The first simplification takes a chunk's triangles down to this share, but keeps at least twice
// the chunk's share of the target, and stops earlier where a collapse would move the surface
// more than kChunkErrorVoxels of the finest spacing. Half a voxel is within what the scan itself
// resolves; a tenth left a noisy skin's collapses to trickle out a few per pass, which took a
// whole body twelve minutes.
constexpr std::size_t kChunkReduction = 8;
constexpr double kChunkErrorVoxels = 0.5;

// A chunk's part of the surface once smoothed and simplified, as a slab: the vertices on its lower
// and upper cut planes, which the neighbouring chunks share, are listed by their plane keys.
using SurfacePiece = IsoSurfaceSlab;

// Slabs joined in order: each slab's bottom vertices are the previous slab's top ones. Both
// lists are in key order, as the marcher keeps them.
class SlabJoiner {
public:
    // Appends the slab; returns, for each of its vertices, the index it has in the join.
    std::vector<uint32_t> Append(IsoSurfaceSlab& slab) {
        std::vector<uint32_t> remap(slab.positions.size(), kNoIndex);
        std::size_t below = 0;
        for (const auto& [key, local] : slab.bottom) {
            while (below < top_.size() && top_[below].first < key) {
                ++below;
            }
            if (below < top_.size() && top_[below].first == key) {
                remap[local] = top_[below].second;
            }
        }
        for (std::size_t local = 0; local < slab.positions.size(); ++local) {
            if (remap[local] == kNoIndex) {
                remap[local] = static_cast<uint32_t>(positions.size());
                positions.push_back(slab.positions[local]);
            }
        }
        for (const auto& corners : slab.triangles) {
            triangles.push_back({remap[corners[0]], remap[corners[1]], remap[corners[2]]});
        }
        top_.clear();
        for (const auto& [key, local] : slab.top) {
            top_.emplace_back(key, remap[local]);
        }
        slab = IsoSurfaceSlab{};
        return remap;
    }

    std::vector<Vec3f> positions;
    Triangles triangles;

private:
    SeamVertices top_;
};

double Extent(const std::vector<Vec3f>& positions) {
    std::array<float, 6> box = {0, 0, 0, 0, 0, 0};
    for (std::size_t index = 0; index < positions.size(); ++index) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = positions[index][axis];
            box[axis] = index == 0 ? value : std::min(box[axis], value);
            box[axis + 3] = index == 0 ? value : std::max(box[axis + 3], value);
        }
    }
    return std::max({box[3] - box[0], box[4] - box[1], box[5] - box[2]});
}

// Keeps only the positions the triangles use, in the order of first use, and renumbers the
// triangles and the seam lists.
void KeepUsed(std::vector<Vec3f>& positions, Triangles& triangles,
              const std::vector<SeamVertices*>& seams) {
    std::vector<uint32_t> remap(positions.size(), kNoIndex);
    std::vector<Vec3f> kept;
    for (auto& triangle : triangles) {
        for (uint32_t& corner : triangle) {
            if (remap[corner] == kNoIndex) {
                remap[corner] = static_cast<uint32_t>(kept.size());
                kept.push_back(positions[corner]);
            }
            corner = remap[corner];
        }
    }
    for (SeamVertices* seam : seams) {
        std::erase_if(*seam,
                      [&remap](const auto& entry) { return remap[entry.second] == kNoIndex; });
        for (auto& entry : *seam) {
            entry.second = remap[entry.second];
        }
    }
    positions = std::move(kept);
}

// Takes out pairs of triangles on the same three corners wound opposite ways: a collapse can fold
// two sides of a thin sliver onto each other, and the pair then closes nothing.
// Which triangles lie on the same three corners as another.
std::vector<bool> FoldedPairs(const Triangles& triangles) {
    std::vector<std::pair<std::array<uint32_t, 3>, uint32_t>> sorted(triangles.size());
    for (uint32_t t = 0; t < triangles.size(); ++t) {
        std::array<uint32_t, 3> corners = triangles[t];
        std::sort(corners.begin(), corners.end());
        sorted[t] = {corners, t};
    }
    std::sort(sorted.begin(), sorted.end());
    std::vector<bool> folded(triangles.size(), false);
    for (std::size_t index = 0; index + 1 < sorted.size();) {
        std::size_t same = index + 1;
        while (same < sorted.size() && sorted[same].first == sorted[index].first) {
            ++same;
        }
        for (std::size_t member = index; member < same && same - index > 1; ++member) {
            folded[sorted[member].second] = true;
        }
        index = same;
    }
    return folded;
}

// Keeps the triangles (and their tags) not marked.
template <typename Tags>
void DropMarked(const std::vector<bool>& marked, Triangles& triangles, Tags* tags) {
    std::size_t kept = 0;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        if (!marked[t]) {
            if (tags != nullptr) {
                (*tags)[kept] = (*tags)[t];
            }
            triangles[kept++] = triangles[t];
        }
    }
    triangles.resize(kept);
    if (tags != nullptr) {
        tags->resize(kept);
    }
}

void DropFoldedPairs(Triangles& triangles) {
    DropMarked<std::vector<uint8_t>>(FoldedPairs(triangles), triangles, nullptr);
}

uint64_t EdgeKey(uint32_t from, uint32_t to) {
    return uint64_t{from} << 32 | to;
}

// The edges two triangles run the same way, in key order: a collapse that pinches two sheets of
// the surface together leaves an edge four triangles share.
std::vector<uint64_t> SharedDirectedEdges(const Triangles& triangles) {
    std::vector<uint64_t> edges;
    edges.reserve(triangles.size() * 3);
    for (const auto& corners : triangles) {
        for (int corner = 0; corner < 3; ++corner) {
            edges.push_back(EdgeKey(corners[corner], corners[(corner + 1) % 3]));
        }
    }
    std::sort(edges.begin(), edges.end());
    std::vector<uint64_t> shared;
    for (std::size_t index = 1; index < edges.size(); ++index) {
        if (edges[index] == edges[index - 1] && (shared.empty() || shared.back() != edges[index])) {
            shared.push_back(edges[index]);
        }
    }
    return shared;
}

// Where a collapse pinched two sheets of the surface together along an edge (two triangles run
// it each way), the sheets are parted again: going round each end of the edge from one triangle
// that runs it, across the edges that are shared as they should be, to the first triangle that
// runs it back, gives one sheet's fan, whose triangles get copies of the end vertices at the same
// place. Every edge is then shared by exactly two triangles; the surface touches itself there, as
// it did. A pinch whose fans cannot be walked is left as it is.
class PinchSplitter {
public:
    PinchSplitter(std::vector<Vec3f>& positions, Triangles& triangles)
        : positions_(positions), triangles_(triangles) {}

    void Split() {
        const std::vector<uint64_t> pinched = SharedDirectedEdges(triangles_);
        if (pinched.empty()) {
            return; // the usual case: no edge map to build
        }
        // Every fan is walked round an end of a pinched edge, so only the triangles at those
        // ends are looked up: the map of the whole surface's edges cost more than all the rest.
        std::vector<bool> atPinch(positions_.size(), false);
        for (const uint64_t key : pinched) {
            atPinch[static_cast<uint32_t>(key >> 32)] = atPinch[static_cast<uint32_t>(key)] = true;
        }
        for (uint32_t t = 0; t < triangles_.size(); ++t) {
            const auto& c = triangles_[t];
            if (atPinch[c[0]] || atPinch[c[1]] || atPinch[c[2]]) {
                AddEdges(t);
            }
        }
        for (const uint64_t key : pinched) {
            const uint32_t p = static_cast<uint32_t>(key >> 32), q = static_cast<uint32_t>(key);
            const std::vector<uint32_t> runs = Runs(p, q);
            if (runs.size() != 2 || Runs(q, p).size() != 2) {
                continue;
            }
            std::vector<uint32_t> aroundP, aroundQ;
            if (Fan(runs[1], p, q, aroundP) && Fan(runs[1], q, p, aroundQ)) {
                Rename(aroundP, p);
                Rename(aroundQ, q);
            }
        }
    }

private:
    std::vector<uint32_t> Runs(uint32_t from, uint32_t to) const {
        std::vector<uint32_t> found;
        const auto [begin, end] = edges_.equal_range(EdgeKey(from, to));
        for (auto entry = begin; entry != end; ++entry) {
            found.push_back(entry->second);
        }
        return found;
    }

    // The triangles round `centre` from `start`, which holds the edge centre-other, leaving each
    // by its other edge at the centre, to the first that holds the edge again.
    bool Fan(uint32_t start, uint32_t centre, uint32_t other, std::vector<uint32_t>& fan) const {
        uint32_t t = start, came = other;
        for (std::size_t step = 0; step < 256; ++step) {
            fan.push_back(t);
            const auto& c = triangles_[t];
            const int at = c[0] == centre ? 0 : c[1] == centre ? 1 : 2;
            const uint32_t next = c[(at + 1) % 3], previous = c[(at + 2) % 3];
            // This triangle runs centre -> next and previous -> centre; the one across an edge
            // runs it the other way.
            const bool viaPrevious = next == came;
            const uint32_t far = viaPrevious ? previous : next;
            const std::vector<uint32_t> beyond =
                viaPrevious ? Runs(centre, far) : Runs(far, centre);
            if (beyond.size() != 1) {
                return false;
            }
            t = beyond[0];
            came = far;
            const auto& d = triangles_[t];
            if (std::find(d.begin(), d.end(), other) != d.end()) {
                fan.push_back(t);
                return true;
            }
        }
        return false;
    }

    void Rename(const std::vector<uint32_t>& fan, uint32_t vertex) {
        const uint32_t copy = static_cast<uint32_t>(positions_.size());
        positions_.push_back(positions_[vertex]);
        for (uint32_t t : fan) {
            RemoveEdges(t);
            for (uint32_t& corner : triangles_[t]) {
                corner = corner == vertex ? copy : corner;
            }
            AddEdges(t);
        }
    }

    void AddEdges(uint32_t t) {
        const auto& c = triangles_[t];
        for (int corner = 0; corner < 3; ++corner) {
            edges_.emplace(EdgeKey(c[corner], c[(corner + 1) % 3]), t);
        }
    }

    void RemoveEdges(uint32_t t) {
        const auto& c = triangles_[t];
        for (int corner = 0; corner < 3; ++corner) {
            const auto [begin, end] = edges_.equal_range(EdgeKey(c[corner], c[(corner + 1) % 3]));
            for (auto entry = begin; entry != end; ++entry) {
                if (entry->second == t) {
                    edges_.erase(entry);
                    break;
                }
            }
        }
    }

    std::vector<Vec3f>& positions_;
    Triangles& triangles_;
    std::unordered_multimap<uint64_t, uint32_t> edges_;
};

// Edge collapses, on positions that the triangles all use: down to about `target` triangles,
// moving the surface at most `error` mm; vertices on open edges (the cuts) stay when
// `lockOpenEdges`. Two triangles a collapse folds onto each other are dropped.
void SimplifyCompact(const std::vector<Vec3f>& positions, Triangles& triangles, std::size_t target,
                     double error, bool lockOpenEdges) {
    if (triangles.size() <= target || positions.empty()) {
        return;
    }
    const double extent = std::max(Extent(positions), 1e-6);
    Triangles result(triangles.size());
    const std::size_t indices = meshopt_simplify(
        result.data()->data(), triangles.data()->data(), triangles.size() * 3, &positions.data()->x,
        positions.size(), sizeof(Vec3f), target * 3, static_cast<float>(error / extent),
        lockOpenEdges ? meshopt_SimplifyLockBorder : 0, nullptr);
    result.resize(indices / 3);
    DropFoldedPairs(result);
    triangles = std::move(result);
}

// The same on a few of many positions: the simplifier keeps tables as long as the positions it
// is given, so the triangles' own are handed to it.
void Simplify(const std::vector<Vec3f>& positions, Triangles& triangles, std::size_t target,
              double error, bool lockOpenEdges) {
    if (triangles.size() <= target) {
        return;
    }
    std::unordered_map<uint32_t, uint32_t> local;
    std::vector<uint32_t> global;
    std::vector<Vec3f> own;
    for (auto& triangle : triangles) {
        for (uint32_t& corner : triangle) {
            const auto [entry, added] =
                local.try_emplace(corner, static_cast<uint32_t>(own.size()));
            if (added) {
                own.push_back(positions[corner]);
                global.push_back(corner);
            }
            corner = entry->second;
        }
    }
    SimplifyCompact(own, triangles, target, error, lockOpenEdges);
    for (auto& triangle : triangles) {
        for (uint32_t& corner : triangle) {
            corner = global[corner];
        }
    }
}

class ChunkBuilder {
public:
    ChunkBuilder(const CtVolume& volume, const CtSurfaceOptions& options)
        : volume_(volume), options_(options), layers_(IsoSurfaceLayers(volume)),
          margin_(2 * std::max(options.smoothingIterations, 0) + 2) {}

    int Chunks() const { return (layers_ + kChunkLayers - 1) / kChunkLayers; }

    Status Build(int chunk, SurfacePiece& piece) const {
        const int first = chunk * kChunkLayers, end = std::min(first + kChunkLayers, layers_);
        // The margin below, the chunk's own layers, the margin above.
        std::vector<std::pair<int, int>> ranges;
        if (first > 0) {
            ranges.emplace_back(std::max(0, first - margin_), first);
        }
        const std::size_t core = ranges.size();
        ranges.emplace_back(first, end);
        if (end < layers_) {
            ranges.emplace_back(end, std::min(layers_, end + margin_));
        }
        std::vector<IsoSurfaceSlab> slabs;
        if (Status status = MarchIsoSurfaceSlabs(volume_, options_.thresholdHu, ranges, slabs);
            !status) {
            return status;
        }
        SlabJoiner joiner;
        std::size_t coreFirst = 0, coreEnd = 0;
        SeamVertices bottom = slabs[core].bottom, top = slabs[core].top;
        std::vector<uint32_t> coreRemap;
        for (std::size_t index = 0; index < slabs.size(); ++index) {
            if (index == core) {
                coreFirst = joiner.triangles.size();
                coreRemap = joiner.Append(slabs[index]);
                coreEnd = joiner.triangles.size();
            } else {
                joiner.Append(slabs[index]);
            }
        }
        SmoothTaubin(joiner.positions, joiner.triangles,
                     {.iterations = options_.smoothingIterations, .threads = 1});
        for (SeamVertices* seam : {&bottom, &top}) {
            for (auto& entry : *seam) {
                entry.second = coreRemap[entry.second];
            }
        }
        piece.triangles.assign(joiner.triangles.begin() + static_cast<std::ptrdiff_t>(coreFirst),
                               joiner.triangles.begin() + static_cast<std::ptrdiff_t>(coreEnd));
        piece.positions = std::move(joiner.positions);
        KeepUsed(piece.positions, piece.triangles, {&bottom, &top});
        const std::size_t share =
            2 * options_.targetTriangles * static_cast<std::size_t>(end - first) / layers_;
        SimplifyCompact(piece.positions, piece.triangles,
                        std::max(piece.triangles.size() / kChunkReduction, share),
                        kChunkErrorVoxels * FinestSpacing(), true);
        KeepUsed(piece.positions, piece.triangles, {&bottom, &top});
        piece.bottom = std::move(bottom);
        piece.top = std::move(top);
        return Status::Ok();
    }

private:
    double FinestSpacing() const {
        return std::min({volume_.spacing[0], volume_.spacing[1], volume_.spacing[2]});
    }

    const CtVolume& volume_;
    const CtSurfaceOptions& options_;
    int layers_;
    int margin_;
};

// Builds every chunk, `threads` at a time, each taking the next chunk not yet started; only the
// calling thread reports progress. False when stopped.
bool BuildChunks(const ChunkBuilder& builder, std::size_t threads,
                 const CtSurfaceProgress& progress, std::vector<SurfacePiece>& pieces,
                 Status& failure) {
    const int chunks = builder.Chunks();
    pieces.assign(static_cast<std::size_t>(chunks), SurfacePiece{});
    std::vector<Status> statuses(pieces.size(), Status::Ok());
    std::atomic<int> next{0}, done{0};
    std::atomic<bool> stop{false};
    ForEachPart(threads, threads, [&](std::size_t worker, std::size_t, std::size_t) {
        for (int chunk = next++; chunk < chunks && !stop; chunk = next++) {
            statuses[chunk] = builder.Build(chunk, pieces[chunk]);
            if (!statuses[chunk]) {
                stop = true;
            }
            ++done;
            if (worker == 0 && progress && !progress(0.9 * done / chunks)) {
                stop = true;
            }
        }
    });
    for (Status& status : statuses) {
        if (!status) {
            failure = std::move(status);
            return false;
        }
    }
    return !stop;
}

// The pieces joined in order: each piece's bottom seam is the previous piece's top seam.
void JoinPieces(std::vector<SurfacePiece>& pieces, std::vector<Vec3f>& positions,
                Triangles& triangles) {
    SlabJoiner joiner;
    for (SurfacePiece& piece : pieces) {
        joiner.Append(piece);
    }
    positions = std::move(joiner.positions);
    triangles = std::move(joiner.triangles);
}

// The last simplification, group by group when the surface is grouped. Returns each triangle's
// group.
std::vector<uint8_t> SimplifyGroups(const CtSurfaceOptions& options, std::size_t threads,
                                    const std::vector<Vec3f>& positions, Triangles& triangles) {
    if (!options.grouping) {
        SimplifyCompact(positions, triangles, options.targetTriangles, 1e30, false);
        return std::vector<uint8_t>(triangles.size(), 0);
    }
    const std::vector<uint8_t> groups = options.grouping(positions, triangles);
    const std::size_t total = triangles.size(), count = options.groupNames.size();
    std::vector<Triangles> parts(count);
    for (std::size_t t = 0; t < total; ++t) {
        if (groups[t] < count) {
            parts[groups[t]].push_back(triangles[t]);
        }
    }
    // The groups are simplified side by side, each thread taking the next group not yet begun.
    std::atomic<std::size_t> next{0};
    ForEachPart(threads, threads, [&](std::size_t, std::size_t, std::size_t) {
        for (std::size_t group = next++; group < count; group = next++) {
            Simplify(positions, parts[group],
                     options.targetTriangles * parts[group].size() /
                         std::max<std::size_t>(total, 1),
                     1e30, true);
        }
    });
    Triangles all;
    std::vector<uint8_t> groupOf;
    for (std::size_t group = 0; group < count; ++group) {
        all.insert(all.end(), parts[group].begin(), parts[group].end());
        groupOf.insert(groupOf.end(), parts[group].size(), static_cast<uint8_t>(group));
    }
    DropMarked(FoldedPairs(all), all, &groupOf);
    triangles = std::move(all);
    return groupOf;
}

void MakeGroups(const CtSurfaceOptions& options, const std::vector<uint8_t>& groupOf, Mesh& mesh) {
    const std::vector<std::string> names =
        options.grouping ? options.groupNames : std::vector<std::string>{"iso-surface"};
    for (std::size_t number = 0; number < names.size(); ++number) {
        MeshGroup group;
        group.name = names[number];
        bool first = true;
        for (uint32_t t = 0; t < groupOf.size(); ++t) {
            if (groupOf[t] != number) {
                continue;
            }
            group.triangleIndices.push_back(t);
            for (uint32_t corner : mesh.triangles[t].position) {
                for (int axis = 0; axis < 3; ++axis) {
                    const float value = mesh.positions[corner][axis];
                    group.box[axis] = first ? value : std::min(group.box[axis], value);
                    group.box[axis + 3] = first ? value : std::max(group.box[axis + 3], value);
                }
                first = false;
            }
        }
        if (!group.triangleIndices.empty()) {
            mesh.groups.push_back(std::move(group));
        }
    }
    for (std::size_t index = 0; index < mesh.positions.size(); ++index) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = mesh.positions[index][axis];
            mesh.box[axis] = std::min(mesh.box[axis], value);
            mesh.box[axis + 3] = std::max(mesh.box[axis + 3], value);
        }
    }
}

void MakeMesh(const CtSurfaceOptions& options, std::vector<Vec3f>& positions,
              const Triangles& triangles, const std::vector<uint8_t>& groupOf, Mesh& mesh) {
    mesh.positions = std::move(positions);
    mesh.triangles.resize(triangles.size());
    for (std::size_t index = 0; index < triangles.size(); ++index) {
        mesh.triangles[index].position = triangles[index];
    }
    ComputePositionNormals(mesh);
    MakeGroups(options, groupOf, mesh);
    mesh.revision = NextMeshRevision();
}

} // namespace

Status BuildCtSurface(const CtVolume& volume, const CtSurfaceOptions& options, Mesh& mesh,
                      const CtSurfaceProgress& progress) {
    mesh = Mesh{};
    const ChunkBuilder builder(volume, options);
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads = std::clamp<std::size_t>(
        options.threads == 0 ? cores : options.threads, 1, std::max(1, builder.Chunks()));
    std::vector<SurfacePiece> pieces;
    Status failure = Status::Ok();
    if (!BuildChunks(builder, threads, progress, pieces, failure)) {
        return failure ? Status::Failure("Building the CT surface was cancelled.") : failure;
    }
    std::vector<Vec3f> positions;
    Triangles triangles;
    JoinPieces(pieces, positions, triangles);
    DropFoldedPairs(triangles);
    const std::vector<uint8_t> groupOf = SimplifyGroups(options, threads, positions, triangles);
    KeepUsed(positions, triangles, {});
    PinchSplitter(positions, triangles).Split();
    if (triangles.empty()) {
        return Status::Failure("The CT series shows nothing at or above " +
                               std::to_string(options.thresholdHu) + " HU.");
    }
    if (triangles.size() >= kNoIndex / 3 || positions.size() >= kNoIndex) {
        return Status::Failure("The CT surface has too many triangles to keep.");
    }
    MakeMesh(options, positions, triangles, groupOf, mesh);
    if (Status status = Validate(mesh); !status) {
        mesh = Mesh{};
        return status;
    }
    if (progress && !progress(1.0)) {
        mesh = Mesh{};
        return Status::Failure("Building the CT surface was cancelled.");
    }
    return Status::Ok();
}
