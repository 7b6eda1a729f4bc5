#include "ct/CubeCaseTable.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int kCubeEdges = 12;
constexpr int kCubeFaces = 6;

using Point = std::array<double, 3>;

Point CornerPoint(int corner) {
    return {static_cast<double>(corner & 1), static_cast<double>(corner >> 1 & 1),
            static_cast<double>(corner >> 2 & 1)};
}

Point EdgeMiddle(int edge) {
    const Point a = CornerPoint(CubeCaseTable::EdgeStart(edge));
    const Point b = CornerPoint(CubeCaseTable::EdgeEnd(edge));
    return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
}

double Distance(const Point& a, const Point& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// The edge joining two corners that differ along one axis.
int EdgeBetween(int cornerA, int cornerB) {
    const int axis = (cornerA ^ cornerB) == 1 ? 0 : (cornerA ^ cornerB) == 2 ? 1 : 2;
    const int start = cornerA & cornerB;
    return axis * 4 + (start >> (axis + 1) % 3 & 1) + 2 * (start >> (axis + 2) % 3 & 1);
}

// Face f is the side f % 2 of axis f / 2; its corners in order round it.
std::array<int, 4> FaceCorners(int face) {
    const int axis = face / 2, side = face % 2;
    const int b = (axis + 1) % 3, c = (axis + 2) % 3;
    const int base = side << axis;
    return {base, base | 1 << b, base | 1 << b | 1 << c, base | 1 << c};
}

bool EdgeOnFace(int edge, int face) {
    const int axis = face / 2, side = face % 2;
    return CubeCaseTable::EdgeAxis(edge) != axis &&
           (CubeCaseTable::EdgeStart(edge) >> axis & 1) == side;
}

bool ShareFace(int edgeA, int edgeB) {
    for (int face = 0; face < kCubeFaces; ++face) {
        if (EdgeOnFace(edgeA, face) && EdgeOnFace(edgeB, face)) {
            return true;
        }
    }
    return false;
}

// A cut line across a face, from one crossed edge to another, and the inside corners it cuts off.
struct FaceCut {
    int from, to;
    Point inside;
};

// The cut lines of one face: none, one, or (inside corners on one diagonal) one round each inside
// corner, keeping the two apart.
void CutFace(int insideCorners, int face, std::vector<FaceCut>& cuts) {
    const std::array<int, 4> corners = FaceCorners(face);
    const auto inside = [insideCorners](int corner) { return (insideCorners >> corner & 1) != 0; };
    std::vector<int> crossed;
    Point sum{0, 0, 0};
    int insideCount = 0;
    for (int at = 0; at < 4; ++at) {
        const int corner = corners[at], next = corners[(at + 1) % 4];
        if (inside(corner) != inside(next)) {
            crossed.push_back(EdgeBetween(corner, next));
        }
        if (inside(corner)) {
            const Point p = CornerPoint(corner);
            sum = {sum[0] + p[0], sum[1] + p[1], sum[2] + p[2]};
            ++insideCount;
        }
    }
    if (crossed.size() == 2) {
        cuts.push_back({crossed[0],
                        crossed[1],
                        {sum[0] / insideCount, sum[1] / insideCount, sum[2] / insideCount}});
    } else if (crossed.size() == 4) {
        for (int at = 0; at < 4; ++at) {
            if (inside(corners[at])) {
                cuts.push_back({EdgeBetween(corners[(at + 3) % 4], corners[at]),
                                EdgeBetween(corners[at], corners[(at + 1) % 4]),
                                CornerPoint(corners[at])});
            }
        }
    }
}

// Turns the cut so that, seen from outside the cube, its inside corners lie on its right: along
// the boundary of the inside part of the cube's surface, which winds the polygons the cuts close
// into so that they face away from the inside corners.
void Orient(int face, FaceCut& cut) {
    const int axis = face / 2;
    Point normal{0, 0, 0};
    normal[axis] = face % 2 == 1 ? 1.0 : -1.0;
    const Point a = EdgeMiddle(cut.from), b = EdgeMiddle(cut.to);
    const Point towardInside = {cut.inside[0] - (a[0] + b[0]) / 2,
                                cut.inside[1] - (a[1] + b[1]) / 2,
                                cut.inside[2] - (a[2] + b[2]) / 2};
    const Point along = {normal[1] * towardInside[2] - normal[2] * towardInside[1],
                         normal[2] * towardInside[0] - normal[0] * towardInside[2],
                         normal[0] * towardInside[1] - normal[1] * towardInside[0]};
    const double dot =
        along[0] * (b[0] - a[0]) + along[1] * (b[1] - a[1]) + along[2] * (b[2] - a[2]);
    if (dot < 0) {
        std::swap(cut.from, cut.to);
    }
}

// Splits a polygon of cube edges into triangles with no edge between two cube edges on one face
// of the cube, the shortest such split (summed edge lengths between the edges' middles).
class PolygonSplitter {
public:
    explicit PolygonSplitter(const std::vector<int>& polygon) : polygon_(polygon) {
        const std::size_t n = polygon.size();
        cost_.assign(n * n, kImpossible);
        choice_.assign(n * n, -1);
        for (std::size_t span = 1; span < n; ++span) {
            for (std::size_t i = 0; i + span < n; ++i) {
                Solve(i, i + span);
            }
        }
    }

    bool Possible() const { return cost_[At(0, polygon_.size() - 1)] < kImpossible; }

    void Emit(CubeCase& out) const { Emit(0, polygon_.size() - 1, out); }

private:
    static constexpr double kImpossible = std::numeric_limits<double>::infinity();

    std::size_t At(std::size_t i, std::size_t j) const { return i * polygon_.size() + j; }

    // A side of the polygon, or a diagonal that crosses no face.
    bool Allowed(std::size_t i, std::size_t j) const {
        return j == i + 1 || (i == 0 && j + 1 == polygon_.size()) ||
               !ShareFace(polygon_[i], polygon_[j]);
    }

    void Solve(std::size_t i, std::size_t j) {
        if (j == i + 1) {
            cost_[At(i, j)] = 0;
            return;
        }
        for (std::size_t m = i + 1; m < j; ++m) {
            if (!Allowed(i, m) || !Allowed(m, j)) {
                continue;
            }
            const double cost = cost_[At(i, m)] + cost_[At(m, j)] +
                                Distance(EdgeMiddle(polygon_[i]), EdgeMiddle(polygon_[m])) +
                                Distance(EdgeMiddle(polygon_[m]), EdgeMiddle(polygon_[j]));
            if (cost < cost_[At(i, j)]) {
                cost_[At(i, j)] = cost;
                choice_[At(i, j)] = static_cast<int>(m);
            }
        }
    }

    void Emit(std::size_t i, std::size_t j, CubeCase& out) const {
        if (j <= i + 1 || out.triangleCount >= out.triangles.size()) {
            return;
        }
        const std::size_t m = static_cast<std::size_t>(choice_[At(i, j)]);
        out.triangles[out.triangleCount++] = {static_cast<uint8_t>(polygon_[i]),
                                              static_cast<uint8_t>(polygon_[m]),
                                              static_cast<uint8_t>(polygon_[j])};
        Emit(i, m, out);
        Emit(m, j, out);
    }

    const std::vector<int>& polygon_;
    std::vector<double> cost_;
    std::vector<int> choice_;
};

// The closed polygons the oriented cuts of all faces form: each crossed edge begins one cut and
// ends another.
std::vector<std::vector<int>> Polygons(const std::vector<FaceCut>& cuts) {
    std::array<int, kCubeEdges> next;
    next.fill(-1);
    for (const FaceCut& cut : cuts) {
        next[cut.from] = cut.to;
    }
    std::vector<std::vector<int>> polygons;
    std::array<bool, kCubeEdges> used{};
    for (int start = 0; start < kCubeEdges; ++start) {
        if (next[start] < 0 || used[start]) {
            continue;
        }
        std::vector<int>& polygon = polygons.emplace_back();
        for (int edge = start; edge >= 0 && !used[edge]; edge = next[edge]) {
            used[edge] = true;
            polygon.push_back(edge);
        }
    }
    return polygons;
}

CubeCase MakeCase(int insideCorners) {
    std::vector<FaceCut> cuts;
    for (int face = 0; face < kCubeFaces; ++face) {
        const std::size_t first = cuts.size();
        CutFace(insideCorners, face, cuts);
        for (std::size_t index = first; index < cuts.size(); ++index) {
            Orient(face, cuts[index]);
        }
    }
    CubeCase made;
    for (const std::vector<int>& polygon : Polygons(cuts)) {
        const PolygonSplitter splitter(polygon);
        if (polygon.size() >= 3 && splitter.Possible()) {
            splitter.Emit(made);
        }
    }
    return made;
}

} // namespace

const CubeCaseTable& CubeCaseTable::Get() {
    static const CubeCaseTable table;
    return table;
}

int CubeCaseTable::EdgeStart(int edge) {
    const int axis = EdgeAxis(edge), rest = edge % 4;
    return (rest & 1) << (axis + 1) % 3 | (rest >> 1 & 1) << (axis + 2) % 3;
}

CubeCaseTable::CubeCaseTable() {
    for (int insideCorners = 0; insideCorners < 256; ++insideCorners) {
        cases_[insideCorners] = MakeCase(insideCorners);
    }
}
