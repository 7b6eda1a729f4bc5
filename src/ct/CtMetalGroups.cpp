#include "ct/CtMetalGroups.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

namespace {

// A row's stretch of consecutive metal voxels: the row (j + size[1] * k), its first i and one past
// its last, and its first voxel's place in the list.
struct MetalRun {
    uint64_t row = 0;
    int begin = 0, end = 0;
    uint32_t firstVoxel = 0;
};

class DisjointSets {
public:
    explicit DisjointSets(std::size_t count) : parent_(count) {
        for (std::size_t index = 0; index < count; ++index) {
            parent_[index] = static_cast<uint32_t>(index);
        }
    }
    uint32_t Find(uint32_t item) {
        while (parent_[item] != item) {
            parent_[item] = parent_[parent_[item]];
            item = parent_[item];
        }
        return item;
    }
    // The smaller root stays, so that the sets do not depend on the order of the joins.
    void Join(uint32_t a, uint32_t b) {
        a = Find(a);
        b = Find(b);
        if (a != b) {
            parent_[std::max(a, b)] = std::min(a, b);
        }
    }

private:
    std::vector<uint32_t> parent_;
};

std::vector<MetalRun> RunsOf(const CtVolume& volume, const std::vector<CtMetalVoxel>& voxels,
                             std::vector<uint32_t>& runOfVoxel) {
    const uint64_t nx = static_cast<uint64_t>(volume.size[0]);
    std::vector<MetalRun> runs;
    runOfVoxel.resize(voxels.size());
    for (std::size_t index = 0; index < voxels.size(); ++index) {
        const uint64_t at = voxels[index].index;
        const uint64_t row = at / nx;
        const int i = static_cast<int>(at % nx);
        if (runs.empty() || runs.back().row != row || runs.back().end != i) {
            runs.push_back({row, i, i + 1, static_cast<uint32_t>(index)});
        } else {
            runs.back().end = i + 1;
        }
        runOfVoxel[index] = static_cast<uint32_t>(runs.size() - 1);
    }
    return runs;
}

// Joins each run with the runs it touches in the row before it in its slice and in the three rows
// around it in the slice before: together with the later rows' own look back, every touching pair.
void JoinTouchingRuns(const CtVolume& volume, const std::vector<MetalRun>& runs,
                      DisjointSets& sets) {
    const int ny = volume.size[1];
    const auto before = [](const MetalRun& run, uint64_t row) { return run.row < row; };
    for (std::size_t index = 0; index < runs.size(); ++index) {
        const MetalRun& run = runs[index];
        const int64_t j = static_cast<int64_t>(run.row % static_cast<uint64_t>(ny));
        const int64_t k = static_cast<int64_t>(run.row / static_cast<uint64_t>(ny));
        const std::array<std::array<int64_t, 2>, 4> looks = {
            {{j - 1, k}, {j - 1, k - 1}, {j, k - 1}, {j + 1, k - 1}}};
        for (const auto& [lj, lk] : looks) {
            if (lj < 0 || lj >= ny || lk < 0) {
                continue;
            }
            const uint64_t row = static_cast<uint64_t>(lj) + static_cast<uint64_t>(ny) * lk;
            auto other = std::lower_bound(runs.begin(), runs.end(), row, before);
            for (; other != runs.end() && other->row == row && other->begin <= run.end; ++other) {
                if (other->end >= run.begin) {
                    sets.Join(static_cast<uint32_t>(index),
                              static_cast<uint32_t>(other - runs.begin()));
                }
            }
        }
    }
}

struct CellVoxel {
    std::array<int64_t, 3> cell;
    uint32_t voxel;
};

Vec3 CentreOf(const CtVolume& volume, uint64_t index) {
    const uint64_t nx = static_cast<uint64_t>(volume.size[0]);
    const uint64_t ny = static_cast<uint64_t>(volume.size[1]);
    // The voxel's column, row and slice, whole numbers.
    const uint64_t column = index % nx;
    const uint64_t row = (index / nx) % ny;
    const uint64_t slice = index / (nx * ny);
    const double i = static_cast<double>(column) * volume.spacing[0];
    const double j = static_cast<double>(row) * volume.spacing[1];
    const double k = static_cast<double>(slice) * volume.spacing[2];
    const Vec3& r = volume.rowDirection;
    const Vec3& c = volume.columnDirection;
    const Vec3& s = volume.sliceDirection;
    return {i * r.x + j * c.x + k * s.x, i * r.y + j * c.y + k * s.y, i * r.z + j * c.z + k * s.z};
}

double DistanceSquared(const Vec3& a, const Vec3& b) {
    const Vec3 d = Minus(a, b);
    return Dot(d, d);
}

// Joins the objects whose voxels come within `distance` of each other. The voxels are sorted into
// cubic cells of that size, so that only the voxels of a cell and of its 26 neighbours are
// compared, and a pair of cells that holds a single object is passed over at once.
void JoinNearRuns(const CtVolume& volume, const std::vector<CtMetalVoxel>& voxels,
                  const std::vector<uint32_t>& runOfVoxel, double distance, DisjointSets& sets) {
    std::vector<CellVoxel> cells(voxels.size());
    for (std::size_t index = 0; index < voxels.size(); ++index) {
        const Vec3 p = CentreOf(volume, voxels[index].index);
        cells[index] = {{static_cast<int64_t>(std::floor(p.x / distance)),
                         static_cast<int64_t>(std::floor(p.y / distance)),
                         static_cast<int64_t>(std::floor(p.z / distance))},
                        static_cast<uint32_t>(index)};
    }
    std::sort(cells.begin(), cells.end(), [](const CellVoxel& a, const CellVoxel& b) {
        return std::tie(a.cell, a.voxel) < std::tie(b.cell, b.voxel);
    });
    std::vector<std::size_t> starts; // where each distinct cell begins in `cells`, and the end
    for (std::size_t index = 0; index < cells.size(); ++index) {
        if (index == 0 || cells[index].cell != cells[index - 1].cell) {
            starts.push_back(index);
        }
    }
    starts.push_back(cells.size());
    const double limit = distance * distance;
    const auto runRoot = [&](uint32_t voxel) { return sets.Find(runOfVoxel[voxel]); };
    // True when every voxel of the cell belongs to `root`'s object.
    const auto single = [&](std::size_t cell, uint32_t root) {
        for (std::size_t at = starts[cell]; at < starts[cell + 1]; ++at) {
            if (runRoot(cells[at].voxel) != root) {
                return false;
            }
        }
        return true;
    };
    for (std::size_t cell = 0; cell + 1 < starts.size(); ++cell) {
        const std::array<int64_t, 3> here = cells[starts[cell]].cell;
        for (int offset = 0; offset < 27; ++offset) {
            const std::array<int64_t, 3> there = {
                here[0] + offset % 3 - 1, here[1] + (offset / 3) % 3 - 1, here[2] + offset / 9 - 1};
            if (there < here) {
                continue; // that pair of cells is compared from the other one
            }
            const auto found =
                std::lower_bound(starts.begin(), starts.end() - 1, there,
                                 [&cells](std::size_t start, const std::array<int64_t, 3>& key) {
                                     return cells[start].cell < key;
                                 });
            if (found == starts.end() - 1 || cells[*found].cell != there) {
                continue;
            }
            const std::size_t other = static_cast<std::size_t>(found - starts.begin());
            const uint32_t root = runRoot(cells[starts[cell]].voxel);
            if (single(cell, root) && single(other, root)) {
                continue;
            }
            for (std::size_t a = starts[cell]; a < starts[cell + 1]; ++a) {
                for (std::size_t b = starts[other]; b < starts[other + 1]; ++b) {
                    const uint32_t va = cells[a].voxel, vb = cells[b].voxel;
                    if (runRoot(va) != runRoot(vb) &&
                        DistanceSquared(CentreOf(volume, voxels[va].index),
                                        CentreOf(volume, voxels[vb].index)) <= limit) {
                        sets.Join(runOfVoxel[va], runOfVoxel[vb]);
                    }
                }
            }
        }
    }
}

} // namespace

std::vector<uint32_t> GroupCtMetalVoxels(const CtVolume& volume,
                                         const std::vector<CtMetalVoxel>& voxels,
                                         double joinDistanceMm, uint32_t& objects) {
    objects = 0;
    std::vector<uint32_t> runOfVoxel;
    const std::vector<MetalRun> runs = RunsOf(volume, voxels, runOfVoxel);
    DisjointSets sets(runs.size());
    JoinTouchingRuns(volume, runs, sets);
    // Voxels that do not touch lie at least two steps apart along some axis: a distance below
    // that joins nothing more.
    const double shortest = 2 * std::min({volume.spacing[0], volume.spacing[1], volume.spacing[2]});
    if (std::isfinite(joinDistanceMm) && joinDistanceMm >= shortest) {
        JoinNearRuns(volume, voxels, runOfVoxel, joinDistanceMm, sets);
    }
    constexpr uint32_t kUnnumbered = ~uint32_t{0};
    std::vector<uint32_t> numberOfRoot(runs.size(), kUnnumbered);
    std::vector<uint32_t> group(voxels.size());
    for (std::size_t index = 0; index < voxels.size(); ++index) {
        uint32_t& number = numberOfRoot[sets.Find(runOfVoxel[index])];
        if (number == kUnnumbered) {
            number = objects++;
        }
        group[index] = number;
    }
    return group;
}
