#include "model/MeshGroups.h"

#include "model/LargeArrays.h"

#include <limits>
#include <vector>

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

using Box = std::array<float, 6>;

// Widens `box` by the corners of the group's triangles [begin, end): a corner widens it only
// where it lies strictly beyond, so a NaN never widens it and of equal values (0 and -0) the
// first one met stays.
void Widen(Box& box, const Mesh& mesh, const MeshGroup& group, std::size_t begin, std::size_t end) {
    for (std::size_t t = begin; t < end; ++t) {
        const MeshTriangle& triangle = mesh.triangles[group.triangleIndices[t]];
        for (const int32_t vertex : triangle.vertex) {
            const float* p = &mesh.vertices[3 * static_cast<std::size_t>(vertex)];
            for (int axis = 0; axis < 3; ++axis) {
                if (p[axis] < box[axis]) {
                    box[axis] = p[axis];
                }
                if (p[axis] > box[axis + 3]) {
                    box[axis + 3] = p[axis];
                }
            }
        }
    }
}

// The first corner sets all six values, even a NaN, which then stays; later corners widen the
// box. The triangles are cut into parts boxed on every core; a later part starts from an empty
// box (infinities, which no corner lies strictly beyond), so that merging the parts in order by
// the same rule gives the box of one pass in file order, bit for bit.
Box GroupBox(const Mesh& mesh, const MeshGroup& group) {
    const std::size_t count = group.triangleCount;
    if (count == 0) {
        return {0, 0, 0, 0, 0, 0};
    }
    const std::size_t parts = PartsFor(count);
    std::vector<Box> partBoxes(parts);
    ForEachPart(count, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        Box& box = partBoxes[part];
        if (part == 0) {
            const MeshTriangle& first = mesh.triangles[group.triangleIndices[0]];
            const float* p = &mesh.vertices[3 * static_cast<std::size_t>(first.vertex[0])];
            box = {p[0], p[1], p[2], p[0], p[1], p[2]};
        } else {
            constexpr float kInfinity = std::numeric_limits<float>::infinity();
            box = {kInfinity, kInfinity, kInfinity, -kInfinity, -kInfinity, -kInfinity};
        }
        Widen(box, mesh, group, begin, end);
    });
    Box box = partBoxes[0];
    for (std::size_t part = 1; part < parts; ++part) {
        for (int axis = 0; axis < 3; ++axis) {
            if (partBoxes[part][axis] < box[axis]) {
                box[axis] = partBoxes[part][axis];
            }
            if (partBoxes[part][axis + 3] > box[axis + 3]) {
                box[axis + 3] = partBoxes[part][axis + 3];
            }
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
