#include "ct/IsoSurface.h"

#include "base/LargeArrays.h"
#include "mesh/MeshSmoothing.h"
#include "mesh/MeshValidation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Cells are handed to the threads in slabs of this many layers. The slabs do not depend on the
// number of threads, and their results are joined in order, so the mesh does not either.
constexpr int kSlabLayers = 8;

// An edge of a cell joins corner `from` to a corner that adds the axes of `code` (bit 0 = i,
// 1 = j, 2 = k): the edges of the six tetrahedra all run this way. An edge is kept with the grid
// point it starts from, as direction code - 1; directions 0 to 2 lie within a layer of points.
constexpr int kDirections = 7;
constexpr int kPlaneDirections = 3;
constexpr int kCrossDirections = kDirections - kPlaneDirections;

// Eight columns of four points all above the iso value.
constexpr uint64_t kAllFour = 0x0404040404040404ull;

// The six tetrahedra of a cell, each a path from corner 0 to corner 7 adding one axis at a time,
// and the orientation of each (+1 when its corners in this order span a right-handed frame).
struct Tetrahedron {
    std::array<int, 4> corners;
    int orientation;
};
constexpr std::array<Tetrahedron, 6> kTetrahedra = {{{{0, 1, 3, 7}, 1},
                                                     {{0, 1, 5, 7}, -1},
                                                     {{0, 2, 3, 7}, -1},
                                                     {{0, 2, 6, 7}, 1},
                                                     {{0, 4, 5, 7}, 1},
                                                     {{0, 4, 6, 7}, -1}}};

// Samples beyond the volume: below any threshold, and marked so that an edge reaching them is cut
// at its middle.
constexpr float kOutside = -std::numeric_limits<float>::infinity();

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

    // Whether each point of grid plane gz lies above the iso value, eight voxels at a time.
    void LoadPlane(int gz, std::vector<uint8_t>& above) const {
        const std::size_t width = static_cast<std::size_t>(points[0]);
        if (gz == 0 || gz == points[2] - 1) {
            std::fill(above.begin(), above.end(), uint8_t{0});
            return;
        }
        // The padding: the first and last rows, and the first and last point of every row.
        std::fill(above.begin(), above.begin() + static_cast<std::ptrdiff_t>(width), uint8_t{0});
        std::fill(above.end() - static_cast<std::ptrdiff_t>(width), above.end(), uint8_t{0});
        using Short8 = int16_t __attribute__((vector_size(16)));
        using Byte8 = int8_t __attribute__((vector_size(8)));
        const int16_t lowest = static_cast<int16_t>(
            std::clamp<float>(std::ceil(iso), std::numeric_limits<int16_t>::min(),
                              std::numeric_limits<int16_t>::max()));
        const bool none = iso >= std::numeric_limits<int16_t>::max();
        const std::size_t rowLength = static_cast<std::size_t>(volume->size[0]);
        for (int gy = 1; gy + 1 < points[1]; ++gy) {
            const int16_t* row = volume->hu.data() +
                                 rowLength * (static_cast<std::size_t>(gy - 1) +
                                              static_cast<std::size_t>(volume->size[1]) * (gz - 1));
            uint8_t* flags = above.data() + static_cast<std::size_t>(gy) * width + 1;
            flags[-1] = flags[rowLength] = 0;
            if (none) {
                std::fill(flags, flags + rowLength, uint8_t{0});
                continue;
            }
            std::size_t gx = 0;
            for (; gx + 8 <= rowLength; gx += 8) {
                Short8 values;
                std::memcpy(&values, row + gx, sizeof values);
                const Byte8 bytes = __builtin_convertvector(-(values >= lowest), Byte8);
                std::memcpy(flags + gx, &bytes, sizeof bytes);
            }
            for (; gx < rowLength; ++gx) {
                flags[gx] = row[gx] > iso ? 1 : 0;
            }
        }
    }

    Vec3f Position(double gx, double gy, double gz) const {
        return ToVec3f({origin.x + gx * step[0].x + gy * step[1].x + gz * step[2].x,
                        origin.y + gx * step[0].y + gy * step[1].y + gz * step[2].y,
                        origin.z + gx * step[0].z + gy * step[1].z + gz * step[2].z});
    }
};

// An in-plane edge on a slab's first or last layer of points: its key (point * 3 + direction)
// and the slab's own index of its vertex.
using PlaneEdge = std::pair<uint32_t, uint32_t>;

// Its bottom and top edges are shared with the slab below and the slab above.
using SlabSurface = IsoSurfaceSlab;

// Marches the cell layers of one slab, making each crossed edge's vertex once.
class SlabMarcher {
public:
    explicit SlabMarcher(const PaddedGrid& grid)
        : grid_(grid), lowerAbove_(grid.PlanePoints()), upperAbove_(grid.PlanePoints()),
          columns_(static_cast<std::size_t>(grid.points[0])),
          lowerPlane_(grid.PlanePoints() * kPlaneDirections, kNoIndex),
          across_(grid.PlanePoints() * kCrossDirections, kNoIndex),
          upperPlane_(grid.PlanePoints() * kPlaneDirections, kNoIndex) {}

    SlabSurface March(int firstLayer, int endLayer) {
        SlabSurface surface;
        out_ = &surface;
        grid_.LoadPlane(firstLayer, upperAbove_);
        for (int gz = firstLayer; gz < endLayer; ++gz) {
            std::swap(lowerAbove_, upperAbove_);
            grid_.LoadPlane(gz + 1, upperAbove_);
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
        return surface;
    }

private:
    // Most cells lie wholly inside or wholly outside: the corners above the iso value are
    // counted first, column by column of four, and only the cells the surface crosses marched.
    void MarchLayer() {
        const std::size_t width = static_cast<std::size_t>(grid_.points[0]);
        for (int gy = 0; gy + 1 < grid_.points[1]; ++gy) {
            const std::size_t row = static_cast<std::size_t>(gy) * width;
            const uint8_t *a = lowerAbove_.data() + row, *b = a + width;
            const uint8_t *c = upperAbove_.data() + row, *d = c + width;
            // Eight columns at a time: each byte's sum is at most 4, so none carries into the next.
            std::size_t column = 0;
            for (; column + 8 <= width; column += 8) {
                uint64_t wa, wb, wc, wd;
                std::memcpy(&wa, a + column, 8);
                std::memcpy(&wb, b + column, 8);
                std::memcpy(&wc, c + column, 8);
                std::memcpy(&wd, d + column, 8);
                const uint64_t sum = wa + wb + wc + wd;
                std::memcpy(columns_.data() + column, &sum, 8);
            }
            for (; column < width; ++column) {
                columns_[column] =
                    static_cast<uint8_t>(a[column] + b[column] + c[column] + d[column]);
            }
            for (std::size_t gx = 0; gx + 1 < width; ++gx) {
                // Eight cells at a time while all their columns agree.
                if (gx + 9 <= width) {
                    uint64_t here = 0, beside = 0;
                    std::memcpy(&here, columns_.data() + gx, 8);
                    std::memcpy(&beside, columns_.data() + gx + 1, 8);
                    if ((here == 0 && beside == 0) || (here == kAllFour && beside == kAllFour)) {
                        gx += 7;
                        continue;
                    }
                }
                const int above = columns_[gx] + columns_[gx + 1];
                if (above != 0 && above != 8) {
                    MarchCell(static_cast<int>(gx), gy);
                }
            }
        }
    }

    void MarchCell(int gx, int gy) {
        std::array<float, 8> values;
        int inside = 0;
        for (int corner = 0; corner < 8; ++corner) {
            values[corner] =
                grid_.Sample(gx + (corner & 1), gy + ((corner >> 1) & 1), layer_ + (corner >> 2));
            inside |= (values[corner] > grid_.iso ? 1 : 0) << corner;
        }
        if (inside == 0 || inside == 255) {
            return;
        }
        gx_ = gx;
        gy_ = gy;
        values_ = values;
        for (const Tetrahedron& tetrahedron : kTetrahedra) {
            MarchTetrahedron(tetrahedron, inside);
        }
    }

    // Cuts one tetrahedron: its corners are ordered inside first, and the triangles are wound so
    // that they face the outside corners, whatever the order's parity.
    void MarchTetrahedron(const Tetrahedron& tetrahedron, int inside) {
        std::array<int, 4> order{};
        int count = 0;
        for (int pass = 0; pass < 2; ++pass) {
            for (int corner : tetrahedron.corners) {
                if (((inside >> corner) & 1) == (pass == 0 ? 1 : 0)) {
                    order[count++] = corner;
                }
            }
        }
        int insideCount = 0;
        for (int corner : tetrahedron.corners) {
            insideCount += (inside >> corner) & 1;
        }
        if (insideCount == 0 || insideCount == 4) {
            return;
        }
        const bool positive =
            tetrahedron.orientation * grid_.orientation * Parity(tetrahedron.corners, order) > 0;
        const auto at = [this, &order](int a, int b) { return Vertex(order[a], order[b]); };
        if (insideCount == 1) {
            Emit(at(0, 1), positive ? at(0, 2) : at(0, 3), positive ? at(0, 3) : at(0, 2));
        } else if (insideCount == 3) {
            Emit(at(3, 0), positive ? at(3, 1) : at(3, 2), positive ? at(3, 2) : at(3, 1));
        } else {
            const uint32_t ac = at(0, 2), ad = at(0, 3), bc = at(1, 2), bd = at(1, 3);
            Emit(ac, positive ? ad : bd, positive ? bd : ad);
            Emit(ac, positive ? bd : bc, positive ? bc : bd);
        }
    }

    // +1 when `order` is an even permutation of `corners`, else -1.
    static int Parity(const std::array<int, 4>& corners, const std::array<int, 4>& order) {
        std::array<int, 4> rank{};
        for (int a = 0; a < 4; ++a) {
            rank[a] = static_cast<int>(std::find(corners.begin(), corners.end(), order[a]) -
                                       corners.begin());
        }
        int inversions = 0;
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b) {
                inversions += rank[a] > rank[b] ? 1 : 0;
            }
        }
        return inversions % 2 == 0 ? 1 : -1;
    }

    void Emit(uint32_t a, uint32_t b, uint32_t c) { out_->triangles.push_back({a, b, c}); }

    // The vertex on the edge between two corners of the current cell, made on first use.
    uint32_t Vertex(int cornerA, int cornerB) {
        const int from = std::min(cornerA, cornerB), to = std::max(cornerA, cornerB);
        const int code = to ^ from;
        const std::size_t point =
            static_cast<std::size_t>(gy_ + ((from >> 1) & 1)) * grid_.points[0] + gx_ + (from & 1);
        const bool upper = (from & 4) != 0, inPlane = code < 4;
        const std::size_t index =
            inPlane ? point * kPlaneDirections + code - 1 : point * kCrossDirections + code - 4;
        uint32_t& slot = upper ? upperPlane_[index] : inPlane ? lowerPlane_[index] : across_[index];
        if (slot == kNoIndex) {
            (upper ? upperTouched_ : inPlane ? lowerTouched_ : acrossTouched_).push_back(index);
            slot = static_cast<uint32_t>(out_->positions.size());
            out_->positions.push_back(Crossing(from, to));
        }
        return slot;
    }

    Vec3f Crossing(int from, int to) const {
        const float a = values_[from], b = values_[to];
        const double t = (a == kOutside || b == kOutside) ? 0.5 : (grid_.iso - a) / (b - a);
        const auto along = [t, from, to](int bit) {
            return ((from & bit) ? 1.0 : 0.0) +
                   t * (((to & bit) ? 1.0 : 0.0) - ((from & bit) ? 1.0 : 0.0));
        };
        return grid_.Position(gx_ + along(1), gy_ + along(2), layer_ + along(4));
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
    std::vector<uint8_t> lowerAbove_, upperAbove_, columns_;
    // The vertices on the edges of the cell layer, by their lower point: in the lower plane, from
    // the lower plane to the upper one, and in the upper plane; and which slots are filled.
    std::vector<uint32_t> lowerPlane_, across_, upperPlane_;
    std::vector<std::size_t> lowerTouched_, acrossTouched_, upperTouched_;
    SlabSurface* out_ = nullptr;
    int gx_ = 0, gy_ = 0, layer_ = 0;
    std::array<float, 8> values_{};
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

// Appends the slabs' surfaces in order; the vertices on the plane two slabs share are taken
// from the lower slab.
Status JoinSlabs(std::vector<SlabSurface>& slabs, std::size_t planeKeys, Mesh& mesh) {
    std::size_t triangles = 0;
    for (const SlabSurface& slab : slabs) {
        triangles += slab.triangles.size();
    }
    mesh.triangles.reserve(triangles);
    std::vector<uint32_t> sharedTop(planeKeys, kNoIndex), remap;
    for (SlabSurface& slab : slabs) {
        remap.assign(slab.positions.size(), kNoIndex);
        for (const auto& [key, local] : slab.bottom) {
            remap[local] = sharedTop[key];
        }
        for (std::size_t local = 0; local < slab.positions.size(); ++local) {
            if (remap[local] == kNoIndex) {
                if (mesh.positions.size() >= kNoIndex) {
                    return Status::Failure("The iso-surface has too many vertices to keep.");
                }
                remap[local] = static_cast<uint32_t>(mesh.positions.size());
                mesh.positions.push_back(slab.positions[local]);
            }
        }
        for (const auto& corners : slab.triangles) {
            MeshTriangle& triangle = mesh.triangles.emplace_back();
            triangle.position = {remap[corners[0]], remap[corners[1]], remap[corners[2]]};
        }
        std::fill(sharedTop.begin(), sharedTop.end(), kNoIndex);
        for (const auto& [key, local] : slab.top) {
            sharedTop[key] = remap[local];
        }
        slab = SlabSurface{}; // its memory is no longer needed
    }
    return Status::Ok();
}

void AddSingleGroup(Mesh& mesh) {
    MeshGroup group;
    group.name = "iso-surface";
    group.triangleIndices.resize(mesh.triangles.size());
    for (std::size_t index = 0; index < mesh.triangles.size(); ++index) {
        group.triangleIndices[index] = static_cast<uint32_t>(index);
    }
    std::array<float, 6> box = {0, 0, 0, 0, 0, 0};
    for (std::size_t index = 0; index < mesh.positions.size(); ++index) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = mesh.positions[index][axis];
            box[axis] = index == 0 ? value : std::min(box[axis], value);
            box[axis + 3] = index == 0 ? value : std::max(box[axis + 3], value);
        }
    }
    group.box = box;
    for (int axis = 0; axis < 3; ++axis) {
        mesh.box[axis] = std::min(box[axis], 0.0f);
        mesh.box[axis + 3] = std::max(box[axis + 3], 0.0f);
    }
    mesh.groups.push_back(std::move(group));
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
    ForEachPart(slabCount, parts,
                [&grid, &slabs, layers](std::size_t, std::size_t begin, std::size_t end) {
                    SlabMarcher marcher(grid);
                    for (std::size_t slab = begin; slab < end; ++slab) {
                        const int first = static_cast<int>(slab) * kSlabLayers;
                        slabs[slab] = marcher.March(first, std::min(first + kSlabLayers, layers));
                    }
                });
    if (Status status = JoinSlabs(slabs, grid.PlanePoints() * kPlaneDirections, mesh); !status) {
        mesh = Mesh{};
        return status;
    }
    ComputePositionNormals(mesh);
    AddSingleGroup(mesh);
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
