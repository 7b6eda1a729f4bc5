#include "ct/CtMetal.h"

#include "base/LargeArrays.h"
#include "base/ProgressRange.h"
#include "ct/CtMetalGroups.h"
#include "ct/CtMetalVoxels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <thread>

namespace {

// Above this many points the largest distance is sought among the extreme points along a set of
// directions instead of among all pairs.
constexpr std::size_t kAllPairsPoints = 1500;
constexpr int kExtentDirections = 256;

Status CheckMetalVolume(const CtVolume& volume) {
    std::size_t count = 1;
    for (int axis = 0; axis < 3; ++axis) {
        if (volume.size[axis] <= 0 || volume.size[axis] > (1 << 20)) {
            return Status::Failure("The CT volume has no voxels along one of its axes.");
        }
        if (!(std::isfinite(volume.spacing[axis]) && volume.spacing[axis] > 0)) {
            return Status::Failure("The CT volume's voxel spacing is not a positive number.");
        }
        count *= static_cast<std::size_t>(volume.size[axis]);
    }
    if (volume.hu.size() != count) {
        return Status::Failure("The CT volume holds " + std::to_string(volume.hu.size()) +
                               " voxel values for " + std::to_string(count) + " voxels.");
    }
    return Status::Ok();
}

// The voxel grid's geometry, for going between indices, (i, j, k) and patient points.
class MetalGrid {
public:
    explicit MetalGrid(const CtVolume& volume) : volume_(volume) {
        const std::array<Vec3, 3> directions = {volume.rowDirection, volume.columnDirection,
                                                volume.sliceDirection};
        for (int axis = 0; axis < 3; ++axis) {
            const double s = volume.spacing[axis];
            step_[axis] = {directions[axis].x * s, directions[axis].y * s, directions[axis].z * s};
        }
        voxelVolume_ = std::abs(Dot(Cross(step_[0], step_[1]), step_[2]));
    }

    std::array<int, 3> Cell(uint64_t index) const {
        const uint64_t nx = static_cast<uint64_t>(volume_.size[0]);
        const uint64_t ny = static_cast<uint64_t>(volume_.size[1]);
        return {static_cast<int>(index % nx), static_cast<int>((index / nx) % ny),
                static_cast<int>(index / (nx * ny))};
    }
    uint64_t Index(int i, int j, int k) const {
        return static_cast<uint64_t>(i) +
               static_cast<uint64_t>(volume_.size[0]) *
                   (static_cast<uint64_t>(j) +
                    static_cast<uint64_t>(volume_.size[1]) * static_cast<uint64_t>(k));
    }
    Vec3 Centre(uint64_t index) const {
        const std::array<int, 3> c = Cell(index);
        const Vec3& o = volume_.origin;
        return {o.x + c[0] * step_[0].x + c[1] * step_[1].x + c[2] * step_[2].x,
                o.y + c[0] * step_[0].y + c[1] * step_[1].y + c[2] * step_[2].y,
                o.z + c[0] * step_[0].z + c[1] * step_[1].z + c[2] * step_[2].z};
    }
    int16_t Value(uint64_t index) const { return volume_.hu[index]; }
    double VoxelVolume() const { return voxelVolume_; }
    // The edge of a cube of a voxel's volume.
    double EdgeLength() const { return std::cbrt(voxelVolume_); }

    // Calls visit(neighbour index) for each of the 26 neighbours inside the volume; returns
    // false when some of them lie outside.
    template <typename Visit> bool ForEachNeighbour(uint64_t index, const Visit& visit) const {
        const std::array<int, 3> c = Cell(index);
        bool all = true;
        for (int dk = -1; dk <= 1; ++dk) {
            for (int dj = -1; dj <= 1; ++dj) {
                for (int di = -1; di <= 1; ++di) {
                    if (di == 0 && dj == 0 && dk == 0) {
                        continue;
                    }
                    const int i = c[0] + di, j = c[1] + dj, k = c[2] + dk;
                    if (!Inside(i, j, k)) {
                        all = false;
                        continue;
                    }
                    visit(Index(i, j, k));
                }
            }
        }
        return all;
    }

    // Calls visit(a, b) for each of the 13 pairs of opposite neighbours inside the volume.
    template <typename Visit> void ForEachOppositePair(uint64_t index, const Visit& visit) const {
        const std::array<int, 3> c = Cell(index);
        for (int code = 14; code < 27; ++code) { // the offsets after (0, 0, 0) in i, j, k order
            const int di = code % 3 - 1, dj = (code / 3) % 3 - 1, dk = code / 9 - 1;
            if (Inside(c[0] + di, c[1] + dj, c[2] + dk) &&
                Inside(c[0] - di, c[1] - dj, c[2] - dk)) {
                visit(Index(c[0] + di, c[1] + dj, c[2] + dk),
                      Index(c[0] - di, c[1] - dj, c[2] - dk));
            }
        }
    }
    bool Inside(int i, int j, int k) const {
        return i >= 0 && j >= 0 && k >= 0 && i < volume_.size[0] && j < volume_.size[1] &&
               k < volume_.size[2];
    }

private:
    const CtVolume& volume_;
    std::array<Vec3, 3> step_;
    double voxelVolume_ = 0;
};

bool Holds(const std::vector<uint64_t>& sorted, uint64_t index) {
    return std::binary_search(sorted.begin(), sorted.end(), index);
}

void SortUnique(std::vector<uint64_t>& indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
}

int MedianValue(const MetalGrid& grid, const std::vector<uint64_t>& indices, int fallback) {
    if (indices.empty()) {
        return fallback;
    }
    std::vector<int16_t> values(indices.size());
    for (std::size_t at = 0; at < indices.size(); ++at) {
        values[at] = grid.Value(indices[at]);
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The voxels of one object: its metal voxels (sorted), the layer around them, the layer beyond
// that, and those of its metal voxels whose neighbours are all metal.
struct MetalShells {
    std::vector<uint64_t> layer, beyond, inner;
    std::vector<uint64_t> cracks; // voxels of the layer with metal on two opposite sides
};

// True when some line through the voxel (along an axis, a face diagonal or a space diagonal) has
// metal on both of its sides: the voxel lies in a crack one voxel wide across the metal, where a
// dark streak has pushed it below the threshold.
bool InCrack(const MetalGrid& grid, const std::vector<uint64_t>& metal, uint64_t index) {
    bool crack = false;
    grid.ForEachOppositePair(index, [&](uint64_t a, uint64_t b) {
        crack = crack || (Holds(metal, a) && Holds(metal, b));
    });
    return crack;
}

MetalShells ShellsOf(const MetalGrid& grid, const std::vector<uint64_t>& metal) {
    MetalShells shells;
    for (uint64_t index : metal) {
        bool inner = true;
        const bool allInside = grid.ForEachNeighbour(index, [&](uint64_t neighbour) {
            if (!Holds(metal, neighbour)) {
                shells.layer.push_back(neighbour);
                inner = false;
            }
        });
        if (inner && allInside) {
            shells.inner.push_back(index);
        }
    }
    SortUnique(shells.layer);
    for (uint64_t index : shells.layer) {
        if (InCrack(grid, metal, index)) {
            shells.cracks.push_back(index);
        }
        grid.ForEachNeighbour(index, [&](uint64_t neighbour) {
            if (!Holds(metal, neighbour) && !Holds(shells.layer, neighbour)) {
                shells.beyond.push_back(neighbour);
            }
        });
    }
    SortUnique(shells.beyond);
    return shells;
}

// The largest distance between two points.
double LargestDistance(const std::vector<Vec3>& points) {
    std::vector<Vec3> candidates;
    if (points.size() <= kAllPairsPoints) {
        candidates = points;
    } else {
        // The two ends of the longest line are the extremes along its own direction; along the
        // nearest of these directions (a few degrees off) the extremes lie within a fraction of
        // a percent of that length, and the search among all extremes finds at least that.
        constexpr double kGolden = 2.39996322972865332;
        for (int n = 0; n < kExtentDirections; ++n) {
            const double z = 1 - (n + 0.5) / kExtentDirections; // upper half of the sphere
            const double r = std::sqrt(std::max(0.0, 1 - z * z));
            const Vec3 d{r * std::cos(kGolden * n), r * std::sin(kGolden * n), z};
            const auto along = [&d](const Vec3& a, const Vec3& b) { return Dot(a, d) < Dot(b, d); };
            const auto [low, high] = std::minmax_element(points.begin(), points.end(), along);
            candidates.push_back(*low);
            candidates.push_back(*high);
        }
    }
    double best = 0;
    for (std::size_t a = 0; a < candidates.size(); ++a) {
        for (std::size_t b = a + 1; b < candidates.size(); ++b) {
            const Vec3 d = Minus(candidates[b], candidates[a]);
            best = std::max(best, std::sqrt(Dot(d, d)));
        }
    }
    return best;
}

struct MetalPart {
    std::vector<uint64_t> metal; // sorted voxel indices
    int peak = std::numeric_limits<int16_t>::min();
};

CtMetalObject Measure(const MetalGrid& grid, const MetalPart& part) {
    CtMetalObject object;
    object.voxels = part.metal.size();
    object.peakHu = part.peak;
    const MetalShells shells = ShellsOf(grid, part.metal);
    const int surrounding = MedianValue(grid, shells.beyond, 0);
    const int metal = std::max(MedianValue(grid, shells.inner, part.peak), surrounding + 1);
    object.surroundingHu = surrounding;
    object.metalHu = metal;
    double shares = 0;
    Vec3 weighted{0, 0, 0};
    std::vector<Vec3> halfMetal;
    for (const std::vector<uint64_t>* voxels : {&part.metal, &shells.layer}) {
        for (uint64_t index : *voxels) {
            const double shown = std::clamp(static_cast<double>(grid.Value(index) - surrounding) /
                                                (metal - surrounding),
                                            0.0, 1.0);
            const double share = Holds(shells.cracks, index) ? 1.0 : shown;
            if (share <= 0) {
                continue;
            }
            const Vec3 centre = grid.Centre(index);
            shares += share;
            weighted = {weighted.x + share * centre.x, weighted.y + share * centre.y,
                        weighted.z + share * centre.z};
            if (shown >= 0.5) {
                halfMetal.push_back(centre);
            }
        }
    }
    object.volumeMm3 = shares * grid.VoxelVolume();
    if (shares > 0) {
        object.centroidLps = {weighted.x / shares, weighted.y / shares, weighted.z / shares};
    }
    object.extentMm = LargestDistance(halfMetal) + grid.EdgeLength() / 2;
    return object;
}

std::vector<MetalPart> PartsOf(const std::vector<CtMetalVoxel>& voxels,
                               const std::vector<uint32_t>& group, uint32_t count) {
    std::vector<MetalPart> parts(count);
    for (std::size_t index = 0; index < voxels.size(); ++index) {
        MetalPart& part = parts[group[index]];
        part.metal.push_back(voxels[index].index);
        part.peak = std::max<int>(part.peak, voxels[index].hu);
    }
    return parts;
}

// Metal is a small part of any body; a threshold that more voxels reach is not one for metal, and
// the lists of so many voxels would grow to the size of the volume.
std::size_t MostMetalVoxels(const CtVolume& volume) {
    constexpr std::size_t kAlways = std::size_t{1} << 20;
    return std::max(kAlways, volume.hu.size() / 100);
}

} // namespace

Status FindCtMetal(const CtScan& scan, const CtMetalOptions& options,
                   std::vector<CtMetalObject>& objects, ProgressSink* progress) {
    return FindCtMetal(scan.volume, options, objects, &scan.frame, progress);
}

Status FindCtMetal(const CtVolume& volume, const CtMetalOptions& options,
                   std::vector<CtMetalObject>& objects, const CtBodyFrame* frame,
                   ProgressSink* progress) {
    objects.clear();
    if (Status status = CheckMetalVolume(volume); !status) {
        return status;
    }
    std::vector<CtMetalVoxel> voxels;
    ProgressRange scanning(progress, 0, 90);
    if (Status status =
            CollectCtMetalVoxels(volume, options.thresholdHu, options.threads,
                                 MostMetalVoxels(volume), progress ? &scanning : nullptr, voxels);
        !status) {
        return status;
    }
    uint32_t count = 0;
    const std::vector<uint32_t> group =
        GroupCtMetalVoxels(volume, voxels, options.joinDistanceMm, count);
    std::vector<MetalPart> parts = PartsOf(voxels, group, count);
    std::vector<CtMetalVoxel>().swap(voxels);
    const MetalGrid grid(volume);
    std::vector<CtMetalObject> measured(parts.size());
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads = options.threads == 0 ? cores : options.threads;
    ForEachPart(parts.size(), std::clamp<std::size_t>(parts.size(), 1, threads),
                [&](std::size_t, std::size_t begin, std::size_t end) {
                    for (std::size_t at = begin; at < end; ++at) {
                        measured[at] = Measure(grid, parts[at]);
                    }
                });
    for (CtMetalObject& object : measured) {
        if (object.volumeMm3 < options.minVolumeMm3) {
            continue;
        }
        if (frame != nullptr) {
            object.centroidBody = LpsToBody(*frame, object.centroidLps);
            object.hasBodyCentroid = true;
        }
        objects.push_back(object);
    }
    // The parts are numbered in the order of their first voxels: a stable sort keeps that order
    // among equal volumes.
    std::stable_sort(
        objects.begin(), objects.end(),
        [](const CtMetalObject& a, const CtMetalObject& b) { return a.volumeMm3 > b.volumeMm3; });
    if (progress) {
        progress->SetProgress(100);
    }
    return Status::Ok();
}
