#include "report/DiagramWound.h"

#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// A point within this height of another lies in its slice of the body (metres).
constexpr double kSliceHalfHeight = 0.01;

// The depths (Z) a cross-section of the body spans.
struct DepthSpan {
    double front = -std::numeric_limits<double>::infinity();
    double back = std::numeric_limits<double>::infinity();
    void Add(double z) {
        front = std::max(front, z);
        back = std::min(back, z);
    }
    bool Empty() const { return back > front; }
    double Middle() const { return (front + back) / 2; }
};

// Where the line along Z through (x, y) crosses the triangle abc; nothing when it misses it or
// the triangle is seen edge-on.
std::optional<double> DepthOnTriangle(const Vec3& a, const Vec3& b, const Vec3& c, double x,
                                      double y) {
    const double d = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
    if (d == 0) {
        return std::nullopt;
    }
    const double u = ((b.y - c.y) * (x - c.x) + (c.x - b.x) * (y - c.y)) / d;
    const double v = ((c.y - a.y) * (x - c.x) + (a.x - c.x) * (y - c.y)) / d;
    const double w = 1 - u - v;
    if (u < 0 || v < 0 || w < 0) {
        return std::nullopt;
    }
    return u * a.z + v * b.z + w * c.z;
}

// Adds to each point's span where the line through it along Z crosses the mesh.
void AddLineCrossings(const Mesh& mesh, const std::vector<Vec3>& vertices,
                      const std::vector<Vec3>& points, std::vector<DepthSpan>& spans) {
    const size_t count = vertices.size();
    for (const MeshTriangle& triangle : mesh.triangles) {
        const std::array<uint32_t, 3>& index = triangle.position;
        if (std::any_of(index.begin(), index.end(), [count](uint32_t i) { return i >= count; })) {
            continue;
        }
        const Vec3& a = vertices[index[0]];
        const Vec3& b = vertices[index[1]];
        const Vec3& c = vertices[index[2]];
        const auto [minX, maxX] = std::minmax({a.x, b.x, c.x});
        const auto [minY, maxY] = std::minmax({a.y, b.y, c.y});
        for (size_t i = 0; i < points.size(); ++i) {
            const Vec3& p = points[i];
            if (p.x < minX || p.x > maxX || p.y < minY || p.y > maxY) {
                continue;
            }
            if (const auto z = DepthOnTriangle(a, b, c, p.x, p.y)) {
                spans[i].Add(*z);
            }
        }
    }
}

} // namespace

std::vector<Vec3> RestMeshVertices(const Body& body) {
    std::vector<Vec3> points;
    const Mesh* mesh = body.GetModel();
    if (mesh == nullptr) {
        return points;
    }
    const Matrix4 transform = body.DrawTransform();
    points.reserve(mesh->positions.size());
    for (const Vec3f& position : mesh->positions) {
        points.push_back(transform.TransformPoint(ToVec3(position)));
    }
    return points;
}

const char* DiagramSideName(DiagramSide side) {
    return side == DiagramSide::Front ? "front" : "back";
}

std::vector<DiagramSide> SidesOnBody(const Body& body, const std::vector<Vec3>& points) {
    std::vector<DepthSpan> along(points.size()), slice(points.size());
    DepthSpan whole, own;
    const std::vector<Vec3> vertices = RestMeshVertices(body);
    for (size_t v = 0; v < vertices.size(); ++v) {
        whole.Add(vertices[v].z);
        for (size_t i = 0; i < points.size(); ++i) {
            if (std::fabs(vertices[v].y - points[i].y) <= kSliceHalfHeight) {
                slice[i].Add(vertices[v].z);
            }
        }
    }
    if (const Mesh* mesh = body.GetModel()) {
        AddLineCrossings(*mesh, vertices, points, along);
    }
    for (const Vec3& p : points) {
        own.Add(p.z);
    }
    std::vector<DiagramSide> sides;
    sides.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const DepthSpan& span = !along[i].Empty()   ? along[i]
                                : !slice[i].Empty() ? slice[i]
                                : !whole.Empty()    ? whole
                                                    : own;
        sides.push_back(points[i].z >= span.Middle() ? DiagramSide::Front : DiagramSide::Back);
    }
    return sides;
}

std::vector<DiagramWound> CaseWounds(const PosedCase& posed) {
    const Case& theCase = posed.GetCase();
    std::vector<DiagramWound> wounds;
    for (size_t i = 0; i < theCase.trajectories.size(); ++i) {
        const Trajectory& trajectory = theCase.trajectories[i];
        wounds.push_back({NumberOfIndex(i), trajectory.in, true});
        if (trajectory.exited) {
            wounds.push_back({NumberOfIndex(i), trajectory.out, false});
        }
    }
    std::vector<Vec3> points;
    points.reserve(wounds.size());
    for (const DiagramWound& wound : wounds) {
        points.push_back(wound.point);
    }
    const std::vector<DiagramSide> sides = SidesOnBody(theCase.body, points);
    for (size_t i = 0; i < wounds.size(); ++i) {
        wounds[i].side = sides[i];
    }
    return wounds;
}
