#include "model/MeshGroups.h"

std::optional<std::size_t> glmLookupGroup(const Mesh& mesh, std::string_view name) {
    for (std::size_t i = 0; i < mesh.groups.size(); ++i) {
        if (mesh.groups[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t glmGroupFor(Mesh& mesh, std::string_view name) {
    if (const std::optional<std::size_t> existing = glmLookupGroup(mesh, name)) {
        return *existing;
    }
    MeshGroup group;
    group.name = std::string(name);
    mesh.groups.insert(mesh.groups.begin(), std::move(group));
    mesh.groupCount = static_cast<uint32_t>(mesh.groups.size());
    return 0;
}

std::string glmPathDirectory(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

namespace {

// The first corner sets all six values; later corners widen the box only when strictly beyond it.
std::array<float, 6> GroupBox(const Mesh& mesh, const MeshGroup& group) {
    std::array<float, 6> box = {0, 0, 0, 0, 0, 0};
    bool first = true;
    for (uint32_t t = 0; t < group.triangleCount; ++t) {
        const MeshTriangle& triangle = mesh.triangles[group.triangleIndices[t]];
        for (int corner = 0; corner < 3; ++corner) {
            const float* p = &mesh.vertices[3 * static_cast<std::size_t>(triangle.vertex[corner])];
            for (int axis = 0; axis < 3; ++axis) {
                if (first || p[axis] < box[axis]) {
                    box[axis] = p[axis];
                }
                if (first || p[axis] > box[axis + 3]) {
                    box[axis + 3] = p[axis];
                }
            }
            first = false;
        }
    }
    return box;
}

} // namespace

void ComputeMeshBoxes(Mesh& mesh) {
    mesh.box = {0, 0, 0, 0, 0, 0};
    for (MeshGroup& group : mesh.groups) {
        group.box = GroupBox(mesh, group);
        for (int axis = 0; axis < 3; ++axis) {
            if (group.box[axis] < mesh.box[axis]) {
                mesh.box[axis] = group.box[axis];
            }
            if (group.box[axis + 3] > mesh.box[axis + 3]) {
                mesh.box[axis + 3] = group.box[axis + 3];
            }
        }
    }
}
