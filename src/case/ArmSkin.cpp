#include "case/ArmSkin.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

enum PartBits : uint8_t { kUpperArm = 1, kForearm = 2, kOther = 4 };

using Point = std::array<float, 3>;

struct PointHash {
    size_t operator()(const Point& p) const {
        uint32_t bits[3];
        std::memcpy(bits, p.data(), sizeof bits);
        size_t h = bits[0];
        h = h * 1000003u ^ bits[1];
        h = h * 1000003u ^ bits[2];
        return h;
    }
};

Point PointOf(const Mesh& mesh, uint32_t vertex) {
    const float* v = &mesh.vertices[3 * static_cast<size_t>(vertex)];
    // Adding zero turns -0 into +0, so that both spellings of a border point weld.
    return {v[0] + 0.0f, v[1] + 0.0f, v[2] + 0.0f};
}

// Each vertex's representative: the first vertex at exactly the same position. The vertices seen
// so far sit in an open-addressed table of vertex numbers (0: empty), probed from their position's
// hash; a position that is not equal to itself (NaN) never matches and stays its own.
std::vector<uint32_t> WeldByPosition(const Mesh& mesh) {
    std::vector<uint32_t> representative(mesh.vertexCount + 1, 0);
    size_t slotCount = 16;
    while (slotCount < 2 * size_t{mesh.vertexCount}) {
        slotCount *= 2;
    }
    const size_t mask = slotCount - 1;
    std::vector<uint32_t> slots(slotCount, 0);
    for (uint32_t v = 1; v <= mesh.vertexCount; ++v) {
        const Point p = PointOf(mesh, v);
        // The product's high bits mix every bit of the position into the slot number.
        size_t slot =
            static_cast<size_t>((uint64_t{PointHash()(p)} * 0x9E3779B97F4A7C15u) >> 32) & mask;
        while (slots[slot] != 0 && PointOf(mesh, slots[slot]) != p) {
            slot = (slot + 1) & mask;
        }
        if (slots[slot] == 0) {
            slots[slot] = v;
        }
        representative[v] = slots[slot];
    }
    return representative;
}

double SmoothStep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Border points sorted into cubes of the band's width, so that a point's distance to the nearest
// border point within one band is found among the 27 cubes around it, whatever the mesh's size.
class BorderGrid {
public:
    BorderGrid(const std::vector<Point>& points, double cellSize) : cell(cellSize) {
        for (const Point& p : points) {
            cells[CellOf(p[0], p[1], p[2])].push_back(p);
        }
    }

    // The distance to the nearest border point when it is within one cell; infinity otherwise
    // (farther than the band, which weighs the same).
    double NearestWithinBand(const Point& p) const {
        const auto [cx, cy, cz] = CellOf(p[0], p[1], p[2]);
        double best = std::numeric_limits<double>::infinity();
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    const auto found = cells.find({cx + dx, cy + dy, cz + dz});
                    if (found == cells.end()) {
                        continue;
                    }
                    for (const Point& q : found->second) {
                        const double ex = p[0] - q[0], ey = p[1] - q[1], ez = p[2] - q[2];
                        best = std::min(best, ex * ex + ey * ey + ez * ez);
                    }
                }
            }
        }
        const double distance = std::sqrt(best);
        return distance <= cell ? distance : std::numeric_limits<double>::infinity();
    }

private:
    using Cell = std::array<int64_t, 3>;
    struct CellHash {
        size_t operator()(const Cell& c) const {
            return static_cast<size_t>(static_cast<uint64_t>(c[0]) * 73856093u ^
                                       static_cast<uint64_t>(c[1]) * 19349663u ^
                                       static_cast<uint64_t>(c[2]) * 83492791u);
        }
    };
    Cell CellOf(double x, double y, double z) const { return {Index(x), Index(y), Index(z)}; }
    // Fitted meshes lie within a unit box; the clamp only keeps a corrupt value convertible.
    int64_t Index(double coordinate) const {
        const double index = std::floor(coordinate / cell);
        return std::isfinite(index) ? static_cast<int64_t>(std::clamp(index, -1e12, 1e12)) : 0;
    }

    double cell;
    std::unordered_map<Cell, std::vector<Point>, CellHash> cells;
};

struct Weights {
    double upperArm = 0, forearm = 0;
};

// Weights of an arm point from its distances to the shoulder border (where the arm meets the
// trunk) and to the elbow border (where the upper arm meets the forearm).
Weights ArmWeights(uint8_t parts, double toShoulder, double toElbow) {
    const double follow = SmoothStep(toShoulder / ArmSkin::kShoulderBand);
    const double elbowFade = SmoothStep(toElbow / ArmSkin::kElbowHalfBand);
    double forearmShare = 0;
    if ((parts & kUpperArm) && (parts & kForearm)) {
        forearmShare = 0.5; // on the elbow border itself
    } else if (parts & kForearm) {
        forearmShare = 0.5 + 0.5 * elbowFade;
    } else {
        forearmShare = 0.5 - 0.5 * elbowFade;
    }
    return {follow * (1.0 - forearmShare), follow * forearmShare};
}

using Matrix3 = std::array<std::array<double, 3>, 3>;

Matrix3 BlendedLinearPart(double stay, double upper, const Matrix4& upperArm, double fore,
                          const Matrix4& forearm) {
    Matrix3 a{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            a[r][c] = (r == c ? stay : 0.0) + upper * upperArm.At(r, c) + fore * forearm.At(r, c);
        }
    }
    return a;
}

std::array<double, 3> Cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The normal under the linear map a: along the cofactor matrix times n (the inverse transpose up
// to the determinant), with its original length.
void TransformNormal(const Matrix3& a, float* n) {
    const std::array<std::array<double, 3>, 3> cofactor = {Cross(a[1], a[2]), Cross(a[2], a[0]),
                                                           Cross(a[0], a[1])};
    const double det =
        a[0][0] * cofactor[0][0] + a[0][1] * cofactor[0][1] + a[0][2] * cofactor[0][2];
    const double length =
        std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
    double out[3];
    for (int r = 0; r < 3; ++r) {
        out[r] = cofactor[r][0] * n[0] + cofactor[r][1] * n[1] + cofactor[r][2] * n[2];
    }
    const double outLength = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (outLength == 0.0 || length == 0.0 || !std::isfinite(outLength)) {
        return; // a zero normal stays zero; a collapsed map leaves the normal as it was
    }
    const double factor = (det < 0 ? -length : length) / outLength;
    for (int r = 0; r < 3; ++r) {
        n[r] = static_cast<float>(out[r] * factor);
    }
}

} // namespace

std::optional<ArmSkin> ArmSkin::Build(const Mesh& mesh, const MeshParts& meshParts) {
    const auto upperPart = meshParts.Find("right_arm");
    const auto forePart = meshParts.Find("right_forearm");
    if (!upperPart || !forePart || meshParts.triangleParts.size() != mesh.triangles.size() ||
        mesh.vertices.size() < 3 * (size_t(mesh.vertexCount) + 1)) {
        return std::nullopt;
    }
    const std::vector<uint32_t> representative = WeldByPosition(mesh);
    std::vector<uint8_t> parts(mesh.vertexCount + 1, 0);
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        const uint32_t part = meshParts.triangleParts[t];
        const uint8_t bit = part == *upperPart ? kUpperArm : part == *forePart ? kForearm : kOther;
        for (int32_t v : mesh.triangles[t].vertex) {
            if (v > 0 && uint32_t(v) <= mesh.vertexCount) {
                parts[representative[v]] |= bit;
            }
        }
    }

    std::vector<Point> shoulderBorder, elbowBorder;
    for (uint32_t v = 1; v <= mesh.vertexCount; ++v) {
        if (representative[v] != v) {
            continue;
        }
        const uint8_t p = parts[v];
        if ((p & kOther) && (p & (kUpperArm | kForearm))) {
            shoulderBorder.push_back(PointOf(mesh, v));
        } else if ((p & kUpperArm) && (p & kForearm)) {
            elbowBorder.push_back(PointOf(mesh, v));
        }
    }

    const BorderGrid shoulderGrid(shoulderBorder, kShoulderBand);
    const BorderGrid elbowGrid(elbowBorder, kElbowHalfBand);
    ArmSkin skin;
    skin.upperArmWeight.assign(mesh.vertexCount + 1, 0.0f);
    skin.forearmWeight.assign(mesh.vertexCount + 1, 0.0f);
    for (uint32_t v = 1; v <= mesh.vertexCount; ++v) {
        const uint32_t r = representative[v];
        if (r != v) {
            skin.upperArmWeight[v] = skin.upperArmWeight[r];
            skin.forearmWeight[v] = skin.forearmWeight[r];
        } else if ((parts[v] & (kUpperArm | kForearm)) && !(parts[v] & kOther)) {
            const Point p = PointOf(mesh, v);
            const Weights w = ArmWeights(parts[v], shoulderGrid.NearestWithinBand(p),
                                         elbowGrid.NearestWithinBand(p));
            skin.upperArmWeight[v] = static_cast<float>(w.upperArm);
            skin.forearmWeight[v] = static_cast<float>(w.forearm);
        }
        if (skin.upperArmWeight[v] > 0 || skin.forearmWeight[v] > 0) {
            skin.moving.push_back(v);
        }
    }
    return skin;
}

void ArmSkin::Pose(const Mesh& model, const Matrix4& upperArm, const Matrix4& forearm,
                   Mesh& posed) const {
    posed.vertices = model.vertices;
    posed.normals = model.normals;
    // The linear part of each moving vertex's blend, kept for the moving vertices only (an arm
    // is a tenth of the body): slot[v] is its place + 1, 0 for a vertex that stays.
    std::vector<Matrix3> linear(moving.size());
    std::vector<uint32_t> slot(model.vertexCount + 1, 0);
    for (size_t i = 0; i < moving.size(); ++i) {
        const uint32_t v = moving[i];
        const double upper = upperArmWeight[v], fore = forearmWeight[v];
        const double stay = 1.0 - upper - fore;
        float* out = &posed.vertices[3 * size_t(v)];
        const Vec3 p{out[0], out[1], out[2]};
        const Vec3 a = upperArm.TransformPoint(p);
        const Vec3 b = forearm.TransformPoint(p);
        out[0] = static_cast<float>(stay * p.x + upper * a.x + fore * b.x);
        out[1] = static_cast<float>(stay * p.y + upper * a.y + fore * b.y);
        out[2] = static_cast<float>(stay * p.z + upper * a.z + fore * b.z);
        linear[i] = BlendedLinearPart(stay, upper, upperArm, fore, forearm);
        slot[v] = static_cast<uint32_t>(i + 1);
    }
    if (posed.normals.empty()) {
        return;
    }
    // A normal turns with the vertex of the first corner that uses it.
    std::vector<uint8_t> done(model.normalCount + 1, 0);
    for (const MeshTriangle& triangle : model.triangles) {
        for (int c = 0; c < 3; ++c) {
            const int32_t v = triangle.vertex[c];
            const int32_t n = triangle.normal[c];
            if (n <= 0 || uint32_t(n) > model.normalCount || done[n] || v <= 0 ||
                uint32_t(v) > model.vertexCount) {
                continue;
            }
            done[n] = 1;
            if (slot[v] != 0) {
                TransformNormal(linear[slot[v] - 1], &posed.normals[3 * size_t(n)]);
            }
        }
    }
}
