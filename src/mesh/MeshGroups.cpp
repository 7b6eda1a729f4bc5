#include "mesh/MeshGroups.h"

#include "base/StrictBounds.h"

std::optional<std::size_t> FindGroup(const Mesh& mesh, std::string_view name) {
    for (std::size_t i = mesh.groups.size(); i-- > 0;) {
        if (mesh.groups[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t FindOrAddGroup(Mesh& mesh, std::string_view name) {
    if (const std::optional<std::size_t> existing = FindGroup(mesh, name)) {
        return *existing;
    }
    MeshGroup group;
    group.name = std::string(name);
    mesh.groups.push_back(std::move(group));
    return mesh.groups.size() - 1;
}

std::string PathDirectory(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

namespace {

// The box of the group's triangles' corners in file order, on every core.
std::array<float, 6> GroupBox(const Mesh& mesh, const MeshGroup& group) {
    if (group.triangleIndices.empty()) {
        return {0, 0, 0, 0, 0, 0};
    }
    const auto triangleAt = [&mesh, &group](std::size_t i) -> const MeshTriangle& {
        return mesh.triangles[group.triangleIndices[i]];
    };
    const StrictBounds bounds = StrictBoundsInParts(
        group.triangleIndices.size(),
        [&] { return StrictBounds::At(mesh.positions[triangleAt(0).position[0]]); },
        [&](StrictBounds& part, std::size_t i) {
            for (const uint32_t position : triangleAt(i).position) {
                part.Widen(mesh.positions[position]);
            }
        });
    return {bounds.min[0], bounds.min[1], bounds.min[2],
            bounds.max[0], bounds.max[1], bounds.max[2]};
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
