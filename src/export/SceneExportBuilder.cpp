#include "export/SceneExportBuilder.h"

#include "model/Mesh.h"
#include "scene/Matrix4.h"
#include "scene/Path.h"
#include "scene/TrajectoryPlacement.h"
#include "scene/Universe.h"
#include "scene/VkElement.h"
#include "scene/VkElementList.h"

#include <cmath>
#include <unordered_map>

namespace {

// The ellipsoid is tessellated as the view draws it: 32 steps round, 16 bands, pi as 3.1415.
constexpr int kSphereSegments = 32;
constexpr double kDegreesToRadians = 3.1415 / 180.0;

void AddPoint(ExportPrimitive& primitive, const Matrix4& transform, double x, double y, double z) {
    const Vec3 p = transform.TransformPoint({x, y, z});
    primitive.positions.insert(
        primitive.positions.end(),
        {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
}

// One primitive per mesh group, holding only the vertices its triangles use.
void AddMeshGroups(ExportNode& node, const Mesh& mesh, const Matrix4& transform,
                   const std::array<float, 4>* colorOverride) {
    for (const MeshGroup& group : mesh.groups) {
        ExportPrimitive primitive;
        primitive.materialName = node.name + " " + group.name;
        if (colorOverride != nullptr) {
            primitive.color = *colorOverride;
        } else if (group.material < mesh.materials.size()) {
            primitive.color = mesh.materials[group.material].diffuse;
        }
        const bool withColors = colorOverride == nullptr && !mesh.colors.empty();
        std::unordered_map<int32_t, uint32_t> local;
        for (uint32_t index : group.triangleIndices) {
            if (index >= mesh.triangles.size()) {
                continue;
            }
            for (int32_t vertex : mesh.triangles[index].vertex) {
                if (vertex < 1 || static_cast<uint32_t>(vertex) > mesh.vertexCount) {
                    continue;
                }
                const auto [entry, added] =
                    local.try_emplace(vertex, static_cast<uint32_t>(local.size()));
                if (added) {
                    const float* p = &mesh.vertices[3 * static_cast<std::size_t>(vertex)];
                    AddPoint(primitive, transform, p[0], p[1], p[2]);
                    if (withColors) {
                        const float* c = &mesh.colors[4 * static_cast<std::size_t>(vertex)];
                        primitive.colors.insert(primitive.colors.end(), c, c + 4);
                    }
                }
                primitive.indices.push_back(entry->second);
            }
            // A triangle with a corner out of range was not drawn; drop its partial corners.
            primitive.indices.resize(primitive.indices.size() - primitive.indices.size() % 3);
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

void AddBody(ExportScene& out, const Universe& scene) {
    const Mesh* mesh = scene.GetBody().GetModel();
    if (mesh == nullptr) {
        return;
    }
    ExportNode node{"Body", {}};
    AddMeshGroups(node, *mesh, scene.GetBody().DrawTransform(), nullptr);
    out.nodes.push_back(std::move(node));
}

void AddTrajectories(ExportScene& out, const Universe& scene) {
    for (int number = 1; number <= scene.GetTrajectoryCount(); ++number) {
        const Path& path = *scene.GetTrajectory(number - 1);
        const Mesh* arrow =
            path.GetExited() != 0 ? scene.GetArrowModel() : scene.GetHalfArrowModel();
        const std::string label = SingleLine(path.GetText());
        ExportNode node{"Trajectory " + std::to_string(number) +
                            (label.empty() ? std::string() : " (" + label + ")"),
                        {}};
        const std::array<float, 4> color = {static_cast<float>(path.GetRed()),
                                            static_cast<float>(path.GetGreen()),
                                            static_cast<float>(path.GetBlue()), 1.0f};
        if (arrow != nullptr) {
            AddMeshGroups(node, *arrow, TrajectoryPlacement(scene, number), &color);
        }
        out.nodes.push_back(std::move(node));
    }
}

ExportPrimitive Ellipsoid(const VkElement& element, const std::string& name) {
    ExportPrimitive primitive;
    primitive.materialName = name;
    double r = 0, g = 0, b = 0;
    element.GetColor(r, g, b);
    primitive.color = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 1.0f};
    const double width = element.GetWidth();
    const Matrix4 transform =
        Matrix4::Translation(element.GetX(), element.GetY(), element.GetZ()) *
        Matrix4::Rotation(element.GetYaw(), 0, 1, 0) *
        Matrix4::Rotation(element.GetPitch(), 1, 0, 0) *
        Matrix4::Rotation(element.GetRoll(), 0, 0, 1) *
        Matrix4::Scaling(1.0, element.GetHeight() / width, element.GetLength() / width);
    const double radius = width * 0.5;
    const double step = 360.0 / kSphereSegments;
    const int bands = kSphereSegments / 2;
    for (int i = 0; i <= bands; ++i) {
        for (int j = 0; j <= kSphereSegments; ++j) {
            const double a = (-90.0 + i * step) * kDegreesToRadians;
            const double c = (j * step) * kDegreesToRadians;
            AddPoint(primitive, transform, radius * std::cos(a) * std::sin(c), radius * std::sin(a),
                     radius * std::cos(a) * std::cos(c));
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
bool Drawable(const VkElement& element) {
    const double width = element.GetWidth();
    return width != 0.0 && std::isfinite(width) && std::isfinite(element.GetHeight() / width) &&
           std::isfinite(element.GetLength() / width);
}

void AddElements(ExportScene& out, const Universe& scene) {
    const VkElementList& elements = scene.GetElements();
    for (int number = 1; number <= elements.GetCount(); ++number) {
        const VkElement& element = *elements.GetItem(number - 1);
        ExportNode node{"Element " + std::to_string(number), {}};
        if (Drawable(element)) {
            node.primitives.push_back(Ellipsoid(element, node.name));
        }
        out.nodes.push_back(std::move(node));
    }
}

} // namespace

ExportScene BuildExportScene(const Universe& scene) {
    ExportScene out;
    AddBody(out, scene);
    AddTrajectories(out, scene);
    AddElements(out, scene);
    return out;
}
