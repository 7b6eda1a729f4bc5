#include "export/SceneExportBuilder.h"

#include "base/Matrix4.h"
#include "base/Radians.h"
#include "budget/UncertaintyCone.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"
#include "export/NormalTransform.h"
#include "mesh/ArrowModels.h"
#include "mesh/Mesh.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <unordered_map>

namespace {

// The ellipsoid is tessellated as the view draws it: 32 steps round, 16 bands, each angle in
// degrees turned into radians as the view turns it.
constexpr int kSphereSegments = 32;

// A value beyond the range of float becomes an infinity, which the writers refuse, rather than
// a conversion whose result is undefined.
float AsFloat(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (value > kLargest || value < -kLargest) {
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// A colour channel is held within 0 to 1; one that is not a number at all stays so, and the
// export is refused.
float ColorChannel(double value) {
    return std::isfinite(value) ? static_cast<float>(std::clamp(value, 0.0, 1.0)) : AsFloat(value);
}

std::array<float, 4> OpaqueColor(const Vec3& color) {
    return {ColorChannel(color.x), ColorChannel(color.y), ColorChannel(color.z), 1.0f};
}

void AddPoint(ExportPrimitive& primitive, const Matrix4& transform, const Vec3& point) {
    const Vec3 p = transform.TransformPoint(point);
    primitive.positions.insert(primitive.positions.end(),
                               {AsFloat(p.x), AsFloat(p.y), AsFloat(p.z)});
}

void AddNormal(ExportPrimitive& primitive, const NormalTransform& transform, const Vec3& normal) {
    const Vec3 n = transform.Apply(normal);
    primitive.normals.insert(primitive.normals.end(), {AsFloat(n.x), AsFloat(n.y), AsFloat(n.z)});
}

Vec3 Entry(const std::vector<Vec3f>& values, std::size_t index) {
    return index < values.size() ? ToVec3(values[index]) : Vec3{};
}

bool IsZero(const Vec3& v) {
    return v.x == 0 && v.y == 0 && v.z == 0;
}

// A written vertex is a mesh vertex with the normal it is shaded with at one corner: a vertex on a
// crease is shaded differently on either side, so it is written once per side.
struct CornerKey {
    uint32_t vertex = 0;
    uint32_t source = 0; // 0: the corner's own normal, 1: its triangle's facet normal, 2: computed
    uint32_t index = 0;  // into that source (the triangle's index for a computed one)
    bool operator==(const CornerKey&) const = default;
};

struct CornerKeyHash {
    std::size_t operator()(const CornerKey& key) const {
        const uint64_t high = (static_cast<uint64_t>(key.vertex) << 2) | key.source;
        return std::hash<uint64_t>()(high * 0x9E3779B97F4A7C15ull ^ key.index);
    }
};

// The normal the view shades a corner with: its smoothed normal, else its triangle's facet normal;
// a mesh without either gets the normal of the triangle's corners.
Vec3 CornerNormal(const Mesh& mesh, uint32_t triangleIndex, int corner, CornerKey& key) {
    const MeshTriangle& triangle = mesh.triangles[triangleIndex];
    if (const Vec3 n = Entry(mesh.normals, triangle.normal[corner]); !IsZero(n)) {
        key.source = 0;
        key.index = triangle.normal[corner];
        return n;
    }
    if (const Vec3 n = Entry(mesh.facetNormals, triangleIndex); !IsZero(n)) {
        key.source = 1;
        key.index = triangleIndex;
        return n;
    }
    key.source = 2;
    key.index = triangleIndex;
    const Vec3 a = Entry(mesh.positions, triangle.position[0]);
    const Vec3 b = Entry(mesh.positions, triangle.position[1]);
    const Vec3 c = Entry(mesh.positions, triangle.position[2]);
    const Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z};
    const Vec3 v{c.x - a.x, c.y - a.y, c.z - a.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

bool TriangleInRange(const Mesh& mesh, uint32_t index) {
    if (index >= mesh.triangles.size()) {
        return false;
    }
    for (const uint32_t vertex : mesh.triangles[index].position) {
        if (vertex >= mesh.positions.size()) {
            return false;
        }
    }
    return true;
}

// One primitive per mesh group, holding only the vertices its triangles use. The most recently
// created group comes first, as in every scene exported before.
void AddMeshGroups(ExportNode& node, const Mesh& mesh, const Matrix4& transform,
                   const std::array<float, 4>* colorOverride) {
    const NormalTransform normalTransform(transform);
    for (auto it = mesh.groups.rbegin(); it != mesh.groups.rend(); ++it) {
        const MeshGroup& group = *it;
        ExportPrimitive primitive;
        primitive.materialName = node.name + " " + group.name;
        if (colorOverride != nullptr) {
            primitive.color = *colorOverride;
        } else if (group.material < mesh.materials.size()) {
            primitive.color = mesh.materials[group.material].diffuse;
        }
        const bool withColors = colorOverride == nullptr && !mesh.colors.empty();
        std::unordered_map<CornerKey, uint32_t, CornerKeyHash> local;
        for (uint32_t index : group.triangleIndices) {
            // A triangle with a corner out of range is not drawn.
            if (!TriangleInRange(mesh, index)) {
                continue;
            }
            for (int corner = 0; corner < 3; ++corner) {
                const uint32_t vertex = mesh.triangles[index].position[corner];
                CornerKey key{vertex};
                const Vec3 normal = CornerNormal(mesh, index, corner, key);
                const auto [entry, added] =
                    local.try_emplace(key, static_cast<uint32_t>(local.size()));
                if (added) {
                    AddPoint(primitive, transform, Entry(mesh.positions, vertex));
                    AddNormal(primitive, normalTransform, normal);
                    if (withColors && vertex < mesh.colors.size()) {
                        const std::array<float, 4>& c = mesh.colors[vertex];
                        primitive.colors.insert(primitive.colors.end(), c.begin(), c.end());
                    } else if (withColors) {
                        // The view shades a vertex without its own colour in the material's.
                        primitive.colors.insert(primitive.colors.end(), primitive.color.begin(),
                                                primitive.color.end());
                    }
                }
                primitive.indices.push_back(entry->second);
            }
        }
        if (!primitive.indices.empty()) {
            node.primitives.push_back(std::move(primitive));
        }
    }
}

std::string SingleLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        line += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    }
    const auto first = line.find_first_not_of(' ');
    const auto last = line.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

// "3 (label)", or "3" without a label.
std::string NumberedName(int number, const Trajectory& trajectory) {
    const std::string label = SingleLine(trajectory.label);
    return std::to_string(number) + (label.empty() ? std::string() : " (" + label + ")");
}

void AddBody(ExportScene& out, const PosedCase& posed) {
    // The mesh as drawn: in its posture, as the view shows it.
    const Mesh* mesh = posed.GetBody().GetMesh();
    if (mesh == nullptr) {
        return;
    }
    ExportNode node{"Body", {}};
    AddMeshGroups(node, *mesh, posed.GetCase().body.DrawTransform(), nullptr);
    out.nodes.push_back(std::move(node));
}

// Each arrow where the posed case puts it; a trajectory whose arrow is not loaded keeps its
// (empty) node, so that the nodes still name every trajectory.
void AddTrajectories(ExportScene& out, const PosedCase& posed, const ArrowModels& arrows) {
    for (const PosedTrajectory& placed : posed.GetTrajectories()) {
        const Trajectory& trajectory = *posed.GetCase().TrajectoryNumbered(placed.number);
        const Mesh* arrow = arrows.For(trajectory.exited);
        ExportNode node{"Trajectory " + NumberedName(placed.number, trajectory), {}};
        const std::array<float, 4> color = OpaqueColor(trajectory.color);
        if (arrow != nullptr) {
            AddMeshGroups(node, *arrow, placed.ArrowTransform(), &color);
        }
        out.nodes.push_back(std::move(node));
    }
}

ExportPrimitive Ellipsoid(const Element& element, const std::string& name) {
    ExportPrimitive primitive;
    primitive.materialName = name;
    primitive.color = OpaqueColor(element.color);
    const double width = element.size.x;
    const Matrix4 transform =
        Matrix4::Translation(element.centre.x, element.centre.y, element.centre.z) *
        Matrix4::Rotation(element.yaw, 0, 1, 0) * Matrix4::Rotation(element.pitch, 1, 0, 0) *
        Matrix4::Rotation(element.roll, 0, 0, 1) *
        Matrix4::Scaling(1.0, element.size.y / width, element.size.z / width);
    const NormalTransform normalTransform(transform);
    const double radius = width * 0.5;
    const double step = 360.0 / kSphereSegments;
    const int bands = kSphereSegments / 2;
    for (int i = 0; i <= bands; ++i) {
        for (int j = 0; j <= kSphereSegments; ++j) {
            const double a = DegreesToRadians(-90.0 + i * step);
            const double c = DegreesToRadians(j * step);
            const Vec3 onUnitSphere{std::cos(a) * std::sin(c), std::sin(a),
                                    std::cos(a) * std::cos(c)};
            AddPoint(primitive, transform,
                     {radius * onUnitSphere.x, radius * onUnitSphere.y, radius * onUnitSphere.z});
            AddNormal(primitive, normalTransform, onUnitSphere);
        }
    }
    const auto at = [](int i, int j) {
        return static_cast<uint32_t>(i * (kSphereSegments + 1) + j);
    };
    for (int i = 0; i < bands; ++i) {
        for (int j = 0; j < kSphereSegments; ++j) {
            primitive.indices.insert(primitive.indices.end(),
                                     {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i, j),
                                      at(i + 1, j + 1), at(i + 1, j)});
        }
    }
    return primitive;
}

// An element the view cannot draw (zero or unusable width) is left out as the view leaves it.
bool Drawable(const Element& element) {
    const double width = element.size.x;
    return width != 0.0 && std::isfinite(width) && std::isfinite(element.size.y / width) &&
           std::isfinite(element.size.z / width);
}

void AddElements(ExportScene& out, const Case& theCase) {
    for (std::size_t index = 0; index < theCase.elements.size(); ++index) {
        const Element& element = theCase.elements[index];
        ExportNode node{"Element " + std::to_string(NumberOfIndex(index)), {}};
        if (Drawable(element)) {
            node.primitives.push_back(Ellipsoid(element, node.name));
        }
        out.nodes.push_back(std::move(node));
    }
}

ExportPrimitive Cone(const UncertaintyConeShape& cone, const Matrix4& placement,
                     const Trajectory& trajectory, const std::string& name) {
    ExportPrimitive primitive;
    primitive.materialName = name;
    primitive.color = OpaqueColor(trajectory.color);
    primitive.color[3] = kUncertaintyConeAlpha;
    const NormalTransform normalTransform(placement);
    // The rim points share their normals; the apex has none of its own, so each side triangle
    // gets its own apex with the normal halfway round its side.
    for (int i = 0; i < static_cast<int>(cone.rim.size()); ++i) {
        AddPoint(primitive, placement, cone.rim[i]);
        AddNormal(primitive, normalTransform,
                  UncertaintyConeNormal(cone, UncertaintyConeRimAngle(i)));
    }
    const auto rimCount = static_cast<uint32_t>(cone.rim.size());
    for (uint32_t i = 0; i + 1 < rimCount; ++i) {
        const uint32_t apex = rimCount + i;
        AddPoint(primitive, placement, cone.apex);
        AddNormal(primitive, normalTransform,
                  UncertaintyConeNormal(cone, UncertaintyConeRimAngle(static_cast<int>(i)) +
                                                  UncertaintyConeRimAngle(1) / 2));
        // Wound counter-clockwise seen from outside, as the normals point.
        primitive.indices.insert(primitive.indices.end(), {apex, i + 1, i});
    }
    return primitive;
}

// One node per trajectory that has a cone, placed as its arrow is.
void AddCones(ExportScene& out, const PosedCase& posed) {
    for (const PosedTrajectory& placed : posed.GetTrajectories()) {
        const std::optional<UncertaintyConeShape> cone =
            DrawnUncertaintyConeOf(posed, placed.number);
        if (!cone) {
            continue;
        }
        const Trajectory& trajectory = *posed.GetCase().TrajectoryNumbered(placed.number);
        ExportNode node{"Uncertainty cone " + NumberedName(placed.number, trajectory), {}};
        node.primitives.push_back(Cone(*cone, placed.ArrowTransform(), trajectory, node.name));
        out.nodes.push_back(std::move(node));
    }
}

// The scene model whole (a copy simplified for drawing is the view's affair): "Scene model
// (room.obj)".
void AddSceneModel(ExportScene& out, const Case& theCase) {
    const CaseWorld& world = theCase.world;
    if (!world.sceneMesh) {
        return;
    }
    const std::string file = std::filesystem::path(world.sceneModelFile).filename().string();
    ExportNode node{"Scene model" + (file.empty() ? std::string() : " (" + SingleLine(file) + ")"),
                    {}};
    AddMeshGroups(node, *world.sceneMesh, world.SceneModelToBodyFrame(), nullptr);
    out.nodes.push_back(std::move(node));
}

} // namespace

ExportScene BuildExportScene(const PosedCase& posed, const ArrowModels& arrows,
                             bool withUncertaintyCones, bool withSceneModel) {
    ExportScene out;
    AddBody(out, posed);
    AddTrajectories(out, posed, arrows);
    AddElements(out, posed.GetCase());
    if (withUncertaintyCones) {
        AddCones(out, posed);
    }
    if (withSceneModel) {
        AddSceneModel(out, posed.GetCase());
    }
    return out;
}
