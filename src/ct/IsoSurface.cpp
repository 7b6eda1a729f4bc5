#include "ct/IsoSurface.h"

#include "base/LargeArrays.h"
#include "ct/CubeCaseTable.h"
#include "ct/IsoSurfaceJoin.h"
#include "mesh/MeshSmoothing.h"
#include "mesh/MeshValidation.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Cells are handed to the threads in slabs of this many layers, each slab to the next thread
// free. The slabs do not depend on the number of threads, and their results are joined in
// order, so the mesh does not either.
constexpr int kSlabLayers = 16;

// The edges of the grid are kept with the point they start from: two run within a layer of
// points (along i and j), one from that layer to the next (along k).
constexpr int kPlaneDirections = 2;

// Rows of voxels read ahead of the one turned into flags.
constexpr std::size_t kPrefetchRows = 4;

// Samples beyond the volume: below any threshold, and marked so that an edge reaching them is cut
// at its middle.
constexpr float kOutside = -std::numeric_limits<float>::infinity();

// Which points of one grid plane lie above the iso value (0 or 1 each), and per row the range
// [first, last] of those that do (first > last for none).
struct PlaneFlags {
    std::vector<uint8_t> above;
    std::vector<int> first, last;
};

// The volume padded with one layer of outside samples on every side: grid point g is voxel g - 1.
struct PaddedGrid {
    const CtVolume* volume = nullptr;
    std::array<int, 3> points{}; // per axis: size + 2
    float iso = 0;               // threshold - 0.5
    Vec3 origin;                 // LPS of grid point (0, 0, 0), that is of voxel (-1, -1, -1)
    std::array<Vec3, 3> step;    // LPS step per grid point along each axis
    int orientation = 1;         // -1 when the volume's axes form a left-handed frame

    std::size_t PlanePoints() const {
        return static_cast<std::size_t>(points[0]) * static_cast<std::size_t>(points[1]);
    }

    // The value at a grid point: the voxel's, or outside on the padding.
    float Sample(int gx, int gy, int gz) const {
        if (gx == 0 || gy == 0 || gz == 0 || gx == points[0] - 1 || gy == points[1] - 1 ||
            gz == points[2] - 1) {
            return kOutside;
        }
        return volume->At(gx - 1, gy - 1, gz - 1);
    }

    void ClearPlane(PlaneFlags& plane) const {
        std::fill(plane.above.begin(), plane.above.end(), uint8_t{0});
        std::fill(plane.first.begin(), plane.first.end(), 1);
        std::fill(plane.last.begin(), plane.last.end(), 0);
    }

    // Whether each point of grid plane gz lies above the iso value, eight voxels at a time.
    void LoadPlane(int gz, PlaneFlags& plane) const {
        const bool none = iso >= std::numeric_limits<int16_t>::max();
        if (gz == 0 || gz == points[2] - 1 || none) {
            ClearPlane(plane);
            return;
        }
        const std::size_t width = static_cast<std::size_t>(points[0]);
        // The padding: the first and last rows, and the first and last point of every row.
        std::fill(plane.above.begin(), plane.above.begin() + static_cast<std::ptrdiff_t>(width),
                  uint8_t{0});
        std::fill(plane.above.end() - static_cast<std::ptrdiff_t>(width), plane.above.end(),
                  uint8_t{0});
        plane.first.front() = plane.first.back() = 1;
        plane.last.front() = plane.last.back() = 0;
        const int16_t lowest = static_cast<int16_t>(
            std::clamp<float>(std::ceil(iso), std::numeric_limits<int16_t>::min(),
                              std::numeric_limits<int16_t>::max()));
        const std::size_t rowLength = static_cast<std::size_t>(volume->size[0]);
        for (int gy = 1; gy + 1 < points[1]; ++gy) {
            const int16_t* row = volume->hu.data() +
                                 rowLength * (static_cast<std::size_t>(gy - 1) +
                                              static_cast<std::size_t>(volume->size[1]) * (gz - 1));
            // The rows are read as one stream, which the processor's own prefetching, stopping
            // at every small page, would leave waiting on memory.
            for (std::size_t ahead = 0; ahead < rowLength * sizeof(int16_t); ahead += 64) {
                __builtin_prefetch(reinterpret_cast<const char*>(row + kPrefetchRows * rowLength) +
                                   ahead);
            }
            uint8_t* flags = plane.above.data() + static_cast<std::size_t>(gy) * width;
            LoadRow(row, rowLength, lowest, flags, plane.first[gy], plane.last[gy]);
        }
    }

    // One row of voxels into the flags of grid points 1 to rowLength, with the padding point on
    // either side; `first` and `last` bound the points above.
    static void LoadRow(const int16_t* row, std::size_t rowLength, int16_t lowest, uint8_t* flags,
                        int& first, int& last) {
        using Short8 = int16_t __attribute__((vector_size(16)));
        using Byte8 = int8_t __attribute__((vector_size(8)));
        flags[0] = flags[rowLength + 1] = 0;
        first = 1;
        last = 0;
        std::size_t x = 0;
        for (; x + 8 <= rowLength; x += 8) {
            Short8 values;
            std::memcpy(&values, row + x, sizeof values);
            const Byte8 bytes = __builtin_convertvector(-(values >= lowest), Byte8);
            std::memcpy(flags + 1 + x, &bytes, sizeof bytes);
            uint64_t mask = 0;
            std::memcpy(&mask, &bytes, sizeof mask);
            if (mask != 0) {
                const int low = static_cast<int>(x) + 1 + std::countr_zero(mask) / 8;
                first = first > last ? low : first;
                last = static_cast<int>(x) + 8 - std::countl_zero(mask) / 8;
            }
        }
        for (; x < rowLength; ++x) {
            flags[1 + x] = row[x] >= lowest ? 1 : 0;
            if (flags[1 + x] != 0) {
                first = first > last ? static_cast<int>(x) + 1 : first;
                last = static_cast<int>(x) + 1;
            }
        }
    }

    Vec3f Position(double gx, double gy, double gz) const {
        return ToVec3f({origin.x + gx * step[0].x + gy * step[1].x + gz * step[2].x,
                        origin.y + gx * step[0].y + gy * step[1].y + gz * step[2].y,
                        origin.z + gx * step[0].z + gy * step[1].z + gz * step[2].z});
    }
};

// An in-plane edge on a slab's first or last layer of points: its key (point * 2 + direction)
// and the slab's own index of its vertex.
using PlaneEdge = std::pair<uint32_t, uint32_t>;

// Its bottom and top edges are shared with the slab below and the slab above.
using SlabSurface = IsoSurfaceSlab;

// Per cube edge: the offset of its start corner and its axis.
struct CubeEdge {
    int di, dj, dk, axis;
};

std::array<CubeEdge, 12> MakeCubeEdges() {
    std::array<CubeEdge, 12> edges{};
    for (int edge = 0; edge < 12; ++edge) {
        const int start = CubeCaseTable::EdgeStart(edge);
        edges[edge] = {start & 1, start >> 1 & 1, start >> 2 & 1, CubeCaseTable::EdgeAxis(edge)};
    }
    return edges;
}

// Marches the cell layers of one slab by the cube case table, making each crossed edge's vertex
// once.
class SlabMarcher {
public:
    explicit SlabMarcher(const PaddedGrid& grid)
        : grid_(grid), table_(CubeCaseTable::Get()), edges_(MakeCubeEdges()),
          width_(static_cast<std::size_t>(grid.points[0])), columns_(width_ + 16, 0),
          lowerPlane_(grid.PlanePoints() * kPlaneDirections, kNoIndex),
          across_(grid.PlanePoints(), kNoIndex),
          upperPlane_(grid.PlanePoints() * kPlaneDirections, kNoIndex) {
        for (PlaneFlags* plane : {&lower_, &upper_}) {
            plane->above.assign(grid.PlanePoints(), 0);
            plane->first.assign(static_cast<std::size_t>(grid.points[1]), 1);
            plane->last.assign(static_cast<std::size_t>(grid.points[1]), 0);
        }
    }

    SlabSurface March(int firstLayer, int endLayer) {
        SlabSurface surface;
        // Room for about as much as the previous slab made: neighbouring slabs cut the body alike.
        surface.positions.reserve(lastPositions_ + lastPositions_ / 4);
        surface.triangles.reserve(lastTriangles_ + lastTriangles_ / 4);
        out_ = &surface;
        grid_.LoadPlane(firstLayer, upper_);
        for (int gz = firstLayer; gz < endLayer; ++gz) {
            std::swap(lower_, upper_);
            grid_.LoadPlane(gz + 1, upper_);
            layer_ = gz;
            MarchLayer();
            if (gz == firstLayer) {
                KeepPlaneEdges(lowerPlane_, lowerTouched_, surface.bottom);
            }
            if (gz + 1 == endLayer) {
                KeepPlaneEdges(upperPlane_, upperTouched_, surface.top);
            }
            AdvanceMaps();
        }
        AdvanceMaps();
        out_ = nullptr;
        lastPositions_ = surface.positions.size();
        lastTriangles_ = surface.triangles.size();
        return surface;
    }

private:
    // Most cells lie wholly inside or wholly outside: each row of cells is marched only between
    // the first and last points above the iso value in its four rows of points, and there eight
    // cells at a time are passed over while all their corners agree.
    void MarchLayer() {
        for (int gy = 0; gy + 1 < grid_.points[1]; ++gy) {
            int first = std::numeric_limits<int>::max(), last = -1;
            for (const PlaneFlags* plane : {&lower_, &upper_}) {
                for (int row = gy; row <= gy + 1; ++row) {
                    if (plane->first[row] <= plane->last[row]) {
                        first = std::min(first, plane->first[row]);
                        last = std::max(last, plane->last[row]);
                    }
                }
            }
            if (last >= 0) {
                // The points above lie within the padding, so the cells [first - 1, last] exist.
                MarchRow(gy, first - 1, last + 1);
            }
        }
    }

    // The cells [begin, end) of row gy: each point's four corner flags packed into a byte (rows
    // gy and gy + 1 of the lower plane, then of the upper plane, two bits apart), so that a
    // cell's case is its two points' bytes, the second shifted by one.
    void MarchRow(int gy, int begin, int end) {
        const std::size_t row = static_cast<std::size_t>(gy) * width_;
        const uint8_t *a = lower_.above.data() + row, *b = a + width_;
        const uint8_t *c = upper_.above.data() + row, *d = c + width_;
        const std::size_t points = static_cast<std::size_t>(end) + 1;
        std::size_t x = static_cast<std::size_t>(begin);
        for (; x + 8 <= points; x += 8) {
            uint64_t wa, wb, wc, wd;
            std::memcpy(&wa, a + x, 8);
            std::memcpy(&wb, b + x, 8);
            std::memcpy(&wc, c + x, 8);
            std::memcpy(&wd, d + x, 8);
            const uint64_t packed = wa | wb << 2 | wc << 4 | wd << 6;
            std::memcpy(columns_.data() + x, &packed, 8);
        }
        for (; x < points; ++x) {
            columns_[x] = static_cast<uint8_t>(a[x] | b[x] << 2 | c[x] << 4 | d[x] << 6);
        }
        constexpr uint64_t kAllInside = 0x5555555555555555ull;
        for (int gx = begin; gx < end; ++gx) {
            const std::size_t at = static_cast<std::size_t>(gx);
            if (at + 9 <= points) {
                uint64_t here = 0, beside = 0;
                std::memcpy(&here, columns_.data() + at, 8);
                std::memcpy(&beside, columns_.data() + at + 1, 8);
                if ((here == 0 && beside == 0) || (here == kAllInside && beside == kAllInside)) {
                    gx += 7;
                    continue;
                }
            }
            const int insideCorners = columns_[at] | columns_[at + 1] << 1;
            if (insideCorners != 0 && insideCorners != 255) {
                MarchCell(gx, gy, table_[insideCorners]);
            }
        }
    }

    void MarchCell(int gx, int gy, const CubeCase& cube) {
        std::array<uint32_t, 12> vertices;
        vertices.fill(kNoIndex);
        const bool flip = grid_.orientation < 0;
        for (int t = 0; t < cube.triangleCount; ++t) {
            std::array<uint32_t, 3> corners;
            for (int corner = 0; corner < 3; ++corner) {
                const int edge = cube.triangles[t][corner];
                if (vertices[edge] == kNoIndex) {
                    vertices[edge] = Vertex(gx, gy, edge);
                }
                corners[corner] = vertices[edge];
            }
            if (flip) {
                std::swap(corners[1], corners[2]);
            }
            out_->triangles.push_back(corners);
        }
    }

    // The vertex on a cube edge of cell (gx, gy) of the current layer, made on first use.
    uint32_t Vertex(int gx, int gy, int edge) {
        const CubeEdge& e = edges_[edge];
        const std::size_t point =
            static_cast<std::size_t>(gy + e.dj) * width_ + static_cast<std::size_t>(gx + e.di);
        uint32_t* slot = nullptr;
        std::vector<std::size_t>* touched = nullptr;
        std::size_t index = point;
        if (e.axis == 2) {
            slot = &across_[index];
            touched = &acrossTouched_;
        } else {
            index = point * kPlaneDirections + static_cast<std::size_t>(e.axis);
            slot = e.dk == 0 ? &lowerPlane_[index] : &upperPlane_[index];
            touched = e.dk == 0 ? &lowerTouched_ : &upperTouched_;
        }
        if (*slot == kNoIndex) {
            touched->push_back(index);
            *slot = static_cast<uint32_t>(out_->positions.size());
            out_->positions.push_back(Crossing(gx + e.di, gy + e.dj, layer_ + e.dk, e.axis));
        }
        return *slot;
    }

    // Where the edge from grid point (gx, gy, gz) one step along `axis` meets the iso value.
    Vec3f Crossing(int gx, int gy, int gz, int axis) const {
        const int dx = axis == 0 ? 1 : 0, dy = axis == 1 ? 1 : 0, dz = axis == 2 ? 1 : 0;
        const float a = grid_.Sample(gx, gy, gz), b = grid_.Sample(gx + dx, gy + dy, gz + dz);
        const double t = (a == kOutside || b == kOutside) ? 0.5 : (grid_.iso - a) / (b - a);
        return grid_.Position(gx + t * dx, gy + t * dy, gz + t * dz);
    }

    // In key order: the point times kPlaneDirections plus the direction.
    static void KeepPlaneEdges(const std::vector<uint32_t>& plane, std::vector<std::size_t> touched,
                               std::vector<PlaneEdge>& kept) {
        std::sort(touched.begin(), touched.end());
        for (std::size_t key : touched) {
            kept.emplace_back(static_cast<uint32_t>(key), plane[key]);
        }
    }

    static void Forget(std::vector<uint32_t>& map, std::vector<std::size_t>& touched) {
        for (std::size_t index : touched) {
            map[index] = kNoIndex;
        }
        touched.clear();
    }

    // The next layer's lower points are this layer's upper ones. Only the slots that were
    // filled are cleared: most of a layer is far from the surface.
    void AdvanceMaps() {
        Forget(lowerPlane_, lowerTouched_);
        Forget(across_, acrossTouched_);
        std::swap(lowerPlane_, upperPlane_);
        std::swap(lowerTouched_, upperTouched_);
    }

    const PaddedGrid& grid_;
    const CubeCaseTable& table_;
    const std::array<CubeEdge, 12> edges_;
    std::size_t width_;
    PlaneFlags lower_, upper_;
    std::vector<uint8_t> columns_;
    // The vertices on the edges of the cell layer, by their start point: in the lower plane, from
    // the lower plane to the upper one, and in the upper plane; and which slots are filled.
    std::vector<uint32_t> lowerPlane_, across_, upperPlane_;
    std::vector<std::size_t> lowerTouched_, acrossTouched_, upperTouched_;
    SlabSurface* out_ = nullptr;
    int layer_ = 0;
    std::size_t lastPositions_ = 0, lastTriangles_ = 0;
};

Status CheckVolume(const CtVolume& volume) {
    std::size_t voxels = 1;
    for (int axis = 0; axis < 3; ++axis) {
        if (volume.size[axis] <= 0 || volume.size[axis] > (1 << 20)) {
            return Status::Failure("The CT volume has no voxels along one of its axes.");
        }
        if (!(std::isfinite(volume.spacing[axis]) && volume.spacing[axis] > 0)) {
            return Status::Failure("The CT volume's voxel spacing is not a positive number.");
        }
        voxels *= static_cast<std::size_t>(volume.size[axis]);
    }
    if (volume.hu.size() != voxels) {
        return Status::Failure("The CT volume holds " + std::to_string(volume.hu.size()) +
                               " voxel values for " + std::to_string(voxels) + " voxels.");
    }
    const double handedness =
        Dot(Cross(volume.rowDirection, volume.columnDirection), volume.sliceDirection);
    if (!std::isfinite(handedness) || std::abs(handedness) < 1e-6) {
        return Status::Failure("The CT volume's row, column and slice directions span no space.");
    }
    return Status::Ok();
}

PaddedGrid MakeGrid(const CtVolume& volume, int thresholdHu) {
    PaddedGrid grid;
    grid.volume = &volume;
    grid.iso = static_cast<float>(thresholdHu) - 0.5f;
    const std::array<Vec3, 3> directions = {volume.rowDirection, volume.columnDirection,
                                            volume.sliceDirection};
    for (int axis = 0; axis < 3; ++axis) {
        grid.points[axis] = volume.size[axis] + 2;
        const double s = volume.spacing[axis];
        grid.step[axis] = {directions[axis].x * s, directions[axis].y * s, directions[axis].z * s};
    }
    grid.origin = {volume.origin.x - grid.step[0].x - grid.step[1].x - grid.step[2].x,
                   volume.origin.y - grid.step[0].y - grid.step[1].y - grid.step[2].y,
                   volume.origin.z - grid.step[0].z - grid.step[1].z - grid.step[2].z};
    grid.orientation = Dot(Cross(directions[0], directions[1]), directions[2]) > 0 ? 1 : -1;
    return grid;
}

} // namespace

Status ExtractIsoSurface(const CtVolume& volume, const IsoSurfaceOptions& options, Mesh& mesh) {
    mesh = Mesh{};
    if (Status status = CheckVolume(volume); !status) {
        return status;
    }
    const PaddedGrid grid = MakeGrid(volume, options.thresholdHu);
    const int layers = grid.points[2] - 1;
    const std::size_t slabCount =
        static_cast<std::size_t>((layers + kSlabLayers - 1) / kSlabLayers);
    std::vector<SlabSurface> slabs(slabCount);
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t parts = std::min(options.threads == 0 ? cores : options.threads, slabCount);
    std::atomic<std::size_t> next{0};
    ForEachPart(parts, parts,
                [&grid, &slabs, &next, layers](std::size_t, std::size_t, std::size_t) {
                    SlabMarcher marcher(grid);
                    for (std::size_t slab = next++; slab < slabs.size(); slab = next++) {
                        const int first = static_cast<int>(slab) * kSlabLayers;
                        slabs[slab] = marcher.March(first, std::min(first + kSlabLayers, layers));
                    }
                });
    if (Status status = IsoSurfaceJoin(slabs, parts).Into(mesh); !status) {
        return status;
    }
    mesh.revision = NextMeshRevision();
    if (Status status = Validate(mesh); !status) {
        mesh = Mesh{};
        return status;
    }
    return Status::Ok();
}

int IsoSurfaceLayers(const CtVolume& volume) {
    return volume.size[2] + 1;
}

Status MarchIsoSurfaceSlabs(const CtVolume& volume, int thresholdHu,
                            const std::vector<std::pair<int, int>>& layers,
                            std::vector<IsoSurfaceSlab>& slabs) {
    slabs.clear();
    if (Status status = CheckVolume(volume); !status) {
        return status;
    }
    for (const auto& [first, end] : layers) {
        if (first < 0 || end > IsoSurfaceLayers(volume) || first >= end) {
            return Status::Failure("The iso-surface slab lies outside the CT volume.");
        }
    }
    const PaddedGrid grid = MakeGrid(volume, thresholdHu);
    SlabMarcher marcher(grid);
    for (const auto& [first, end] : layers) {
        slabs.push_back(marcher.March(first, end));
    }
    return Status::Ok();
}
