#include "SurfaceNets.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

struct Grid {
    int n[3] = {0, 0, 0};
    double origin[3] = {0, 0, 0};
    double step = 0;
    std::vector<double> values;

    size_t Index(int i, int j, int k) const {
        return (static_cast<size_t>(k) * n[1] + j) * n[0] + i;
    }
    double Value(int i, int j, int k) const { return values[Index(i, j, k)]; }
    Vec3 Position(int i, int j, int k) const {
        return {origin[0] + i * step, origin[1] + j * step, origin[2] + k * step};
    }
};

Grid SampleField(const std::function<double(Vec3)>& field, Vec3 boxMin, Vec3 boxMax, double step) {
    Grid grid;
    grid.step = step;
    const double lo[3] = {boxMin.x, boxMin.y, boxMin.z};
    const double hi[3] = {boxMax.x, boxMax.y, boxMax.z};
    for (int a = 0; a < 3; ++a) {
        grid.n[a] = static_cast<int>(std::ceil((hi[a] - lo[a]) / step)) + 1;
        // Centre the nodes in the box, so that a box symmetric about 0 gives symmetric nodes.
        const double centre = 0.5 * (lo[a] + hi[a]);
        grid.origin[a] = centre - 0.5 * (grid.n[a] - 1) * step;
    }
    grid.values.resize(static_cast<size_t>(grid.n[0]) * grid.n[1] * grid.n[2]);
    // Sample every kStride-th node first; a node whose nearest coarse sample lies farther from
    // the surface than a coarse cell's diagonal cannot be near it and takes that sample's value.
    constexpr int kStride = 4;
    const double farAway = 2.0 * kStride * step;
    auto coarse = [&](int c, int a) { return std::min(c / kStride * kStride, grid.n[a] - 1); };
    std::vector<double> coarseValue(grid.values.size(), 0.0);
    for (int k = 0; k < grid.n[2]; k += kStride) {
        for (int j = 0; j < grid.n[1]; j += kStride) {
            for (int i = 0; i < grid.n[0]; i += kStride) {
                coarseValue[grid.Index(i, j, k)] = field(grid.Position(i, j, k));
            }
        }
    }
    for (int k = 0; k < grid.n[2]; ++k) {
        for (int j = 0; j < grid.n[1]; ++j) {
            for (int i = 0; i < grid.n[0]; ++i) {
                const int ci = (i % kStride < kStride / 2) ? coarse(i, 0) : coarse(i + kStride, 0);
                const int cj = (j % kStride < kStride / 2) ? coarse(j, 1) : coarse(j + kStride, 1);
                const int ck = (k % kStride < kStride / 2) ? coarse(k, 2) : coarse(k + kStride, 2);
                const double nearby = coarseValue[grid.Index(ci, cj, ck)];
                grid.values[grid.Index(i, j, k)] =
                    std::fabs(nearby) > farAway ? nearby : field(grid.Position(i, j, k));
            }
        }
    }
    return grid;
}

bool Inside(double value) {
    return value < 0;
}

constexpr int kCorner[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                               {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
constexpr int kEdge[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                              {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// Whether the corners in `mask` are joined to each other along the cube's edges.
bool CornersConnected(unsigned mask) {
    if (mask == 0) {
        return true;
    }
    unsigned reached = mask & (~mask + 1); // the lowest corner
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& edge : kEdge) {
            const unsigned a = 1u << edge[0];
            const unsigned b = 1u << edge[1];
            if ((mask & a) && (mask & b) && ((reached & a) != 0) != ((reached & b) != 0)) {
                reached |= a | b;
                grew = true;
            }
        }
    }
    return reached == mask;
}

// A cell whose inside corners, or whose outside corners, fall apart into separate groups would
// hold two sheets of the surface, which its single vertex would join into a pinch (and an
// alternating face would make two cells share an edge four times). Such cells occur, rarely,
// where a thin part is barely resolved; they are settled by moving the inside corner nearest the
// surface outside. Corners only ever move outward, so the loop ends.
void SettleAmbiguousCells(Grid& grid) {
    bool oneSheet[256];
    for (unsigned mask = 0; mask < 256; ++mask) {
        oneSheet[mask] = CornersConnected(mask) && CornersConnected(~mask & 0xffu);
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (int k = 0; k + 1 < grid.n[2]; ++k) {
            for (int j = 0; j + 1 < grid.n[1]; ++j) {
                for (int i = 0; i + 1 < grid.n[0]; ++i) {
                    size_t index[8];
                    unsigned mask = 0;
                    for (int c = 0; c < 8; ++c) {
                        index[c] =
                            grid.Index(i + kCorner[c][0], j + kCorner[c][1], k + kCorner[c][2]);
                        mask |= Inside(grid.values[index[c]]) ? 1u << c : 0u;
                    }
                    if (oneSheet[mask]) {
                        continue;
                    }
                    size_t nearest = 0;
                    double nearestValue = -1e300;
                    for (size_t c : index) {
                        if (Inside(grid.values[c]) && grid.values[c] > nearestValue) {
                            nearest = c;
                            nearestValue = grid.values[c];
                        }
                    }
                    grid.values[nearest] = 1e-9;
                    changed = true;
                }
            }
        }
    }
}

// The vertex of a crossed cell: the mean of the points where its edges cross the surface.
bool CellVertex(const Grid& grid, int i, int j, int k, Vec3& vertex) {
    double value[8];
    for (int c = 0; c < 8; ++c) {
        value[c] = grid.Value(i + kCorner[c][0], j + kCorner[c][1], k + kCorner[c][2]);
    }
    Vec3 sum;
    int crossings = 0;
    for (const auto& edge : kEdge) {
        const double va = value[edge[0]];
        const double vb = value[edge[1]];
        if (Inside(va) == Inside(vb)) {
            continue;
        }
        const double t = va / (va - vb);
        const int* ca = kCorner[edge[0]];
        const int* cb = kCorner[edge[1]];
        const Vec3 pa = grid.Position(i + ca[0], j + ca[1], k + ca[2]);
        const Vec3 pb = grid.Position(i + cb[0], j + cb[1], k + cb[2]);
        sum = sum + pa + (pb - pa) * t;
        ++crossings;
    }
    if (crossings == 0) {
        return false;
    }
    vertex = sum * (1.0 / crossings);
    return true;
}

} // namespace

QuadMesh PolygoniseSurfaceNets(const std::function<double(Vec3)>& field, Vec3 boxMin, Vec3 boxMax,
                               double step) {
    Grid grid = SampleField(field, boxMin, boxMax, step);
    SettleAmbiguousCells(grid);
    QuadMesh mesh;
    std::vector<int> cellVertex(grid.values.size(), -1);
    for (int k = 0; k + 1 < grid.n[2]; ++k) {
        for (int j = 0; j + 1 < grid.n[1]; ++j) {
            for (int i = 0; i + 1 < grid.n[0]; ++i) {
                Vec3 vertex;
                if (CellVertex(grid, i, j, k, vertex)) {
                    cellVertex[grid.Index(i, j, k)] = static_cast<int>(mesh.vertices.size());
                    mesh.vertices.push_back(vertex);
                }
            }
        }
    }
    // One quad per crossed edge, around the edge's axis a; u and v are the other two axes in
    // cyclic order, so the cells listed go counter-clockwise about +a.
    for (int k = 1; k + 1 < grid.n[2]; ++k) {
        for (int j = 1; j + 1 < grid.n[1]; ++j) {
            for (int i = 1; i + 1 < grid.n[0]; ++i) {
                const int node[3] = {i, j, k};
                const bool inside = Inside(grid.Value(i, j, k));
                for (int a = 0; a < 3; ++a) {
                    int next[3] = {i, j, k};
                    ++next[a];
                    if (inside == Inside(grid.Value(next[0], next[1], next[2]))) {
                        continue;
                    }
                    const int u = (a + 1) % 3;
                    const int v = (a + 2) % 3;
                    static constexpr int kOffset[4][2] = {{-1, -1}, {0, -1}, {0, 0}, {-1, 0}};
                    std::array<int, 4> quad{};
                    for (int c = 0; c < 4; ++c) {
                        int cell[3] = {node[0], node[1], node[2]};
                        cell[u] += kOffset[c][0];
                        cell[v] += kOffset[c][1];
                        quad[c] = cellVertex[grid.Index(cell[0], cell[1], cell[2])];
                    }
                    // Outward is +a when the inside lies at the lower node.
                    if (!inside) {
                        quad = {quad[0], quad[3], quad[2], quad[1]};
                    }
                    mesh.quads.push_back(quad);
                }
            }
        }
    }
    return mesh;
}
