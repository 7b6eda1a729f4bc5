#include "mesh/MeshValidation.h"

#include "base/LargeArrays.h"
#include "mesh/FiniteEntries.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

// Entries are named counting from 1, as the files the user knows count them.
std::string Ordinal(std::size_t index) {
    return std::to_string(index + 1);
}

Status CheckFiniteValues(const Mesh& mesh) {
    const auto vec3 = [](const Vec3f& v) { return IsFinite(v); };
    if (const auto i = FirstNonFiniteEntry(mesh.positions, vec3)) {
        return Status::Failure("vertex " + Ordinal(*i) + " has a coordinate that is not a number");
    }
    if (const auto i = FirstNonFiniteEntry(mesh.normals, vec3)) {
        return Status::Failure("normal " + Ordinal(*i) + " is not a number");
    }
    if (const auto i = FirstNonFiniteEntry(mesh.facetNormals, vec3)) {
        return Status::Failure("the normal of face " + Ordinal(*i) + " is not a number");
    }
    if (const auto i = FirstNonFiniteEntry(mesh.colors, AllFinite<4>)) {
        return Status::Failure("vertex " + Ordinal(*i) + " has a colour that is not a number");
    }
    if (const auto i = FirstNonFiniteEntry(mesh.texCoords, AllFinite<2>)) {
        return Status::Failure("texture coordinate " + Ordinal(*i) + " is not a number");
    }
    return Status::Ok();
}

Status CheckSizes(const Mesh& mesh) {
    if (!mesh.colors.empty() && mesh.colors.size() != mesh.positions.size()) {
        return Status::Failure("the mesh has " + std::to_string(mesh.colors.size()) +
                               " colours for " + std::to_string(mesh.positions.size()) +
                               " vertices");
    }
    if (!mesh.facetNormals.empty() && mesh.facetNormals.size() != mesh.triangles.size()) {
        return Status::Failure("the mesh has " + std::to_string(mesh.facetNormals.size()) +
                               " face normals for " + std::to_string(mesh.triangles.size()) +
                               " faces");
    }
    return Status::Ok();
}

bool OptionalIndexValid(uint32_t index, std::size_t size) {
    return index == kNoIndex || index < size;
}

// What is wrong with the triangle's corners, or nothing.
const char* CornerFault(const Mesh& mesh, const MeshTriangle& triangle) {
    for (int corner = 0; corner < 3; ++corner) {
        if (triangle.position[corner] >= mesh.positions.size()) {
            return "a vertex";
        }
        if (!OptionalIndexValid(triangle.normal[corner], mesh.normals.size())) {
            return "a normal";
        }
        if (!OptionalIndexValid(triangle.texCoord[corner], mesh.texCoords.size())) {
            return "a texture coordinate";
        }
    }
    return nullptr;
}

// Whether every corner of the triangles [begin, end) names what exists, without a branch per
// corner: the largest index of each kind is compared once. "None" (kNoIndex) plus one wraps to 0,
// which every array admits; the arrays' sizes fit 32 bits, as the readers' limits ensure.
bool CornersValid(const Mesh& mesh, std::size_t begin, std::size_t end) {
    uint32_t position = 0, normalPlusOne = 0, texCoordPlusOne = 0;
    for (std::size_t t = begin; t < end; ++t) {
        const MeshTriangle& triangle = mesh.triangles[t];
        for (int corner = 0; corner < 3; ++corner) {
            position = std::max(position, triangle.position[corner]);
            normalPlusOne = std::max(normalPlusOne, triangle.normal[corner] + 1u);
            texCoordPlusOne = std::max(texCoordPlusOne, triangle.texCoord[corner] + 1u);
        }
    }
    return (begin == end || position < mesh.positions.size()) &&
           normalPlusOne <= mesh.normals.size() && texCoordPlusOne <= mesh.texCoords.size();
}

// The triangles are looked at on every core: a scan has millions, and every model is checked as
// it is read. Each part that holds a fault finds its first faulty triangle; the first of those is
// named.
Status CheckCorners(const Mesh& mesh) {
    const std::size_t count = mesh.triangles.size();
    const std::size_t parts = PartsFor(count);
    std::vector<std::size_t> firstFault(parts, count);
    ForEachPart(count, parts, [&](std::size_t part, std::size_t begin, std::size_t end) {
        if (CornersValid(mesh, begin, end)) {
            return;
        }
        for (std::size_t t = begin; t < end; ++t) {
            if (CornerFault(mesh, mesh.triangles[t]) != nullptr) {
                firstFault[part] = t;
                return;
            }
        }
    });
    const std::size_t t = *std::min_element(firstFault.begin(), firstFault.end());
    if (t == count) {
        return Status::Ok();
    }
    return Status::Failure("face " + Ordinal(t) + " names " + CornerFault(mesh, mesh.triangles[t]) +
                           " that does not exist");
}

// Whether the mesh has one group, with a material that exists, naming every triangle in order:
// most models (no usemtl) are so, and that is a scan, without marking every triangle.
bool OneGroupOfEveryTriangleInOrder(const Mesh& mesh) {
    if (mesh.groups.size() != 1) {
        return false;
    }
    const MeshGroup& group = mesh.groups[0];
    const bool materialValid =
        mesh.materials.empty() ? group.material == 0 : group.material < mesh.materials.size();
    if (!materialValid || group.triangleIndices.size() != mesh.triangles.size()) {
        return false;
    }
    for (std::size_t t = 0; t < group.triangleIndices.size(); ++t) {
        if (group.triangleIndices[t] != t) {
            return false;
        }
    }
    return true;
}

Status CheckGroups(const Mesh& mesh) {
    if (OneGroupOfEveryTriangleInOrder(mesh)) {
        return Status::Ok();
    }
    std::vector<char> grouped(mesh.triangles.size(), 0);
    for (const MeshGroup& group : mesh.groups) {
        const bool materialValid =
            mesh.materials.empty() ? group.material == 0 : group.material < mesh.materials.size();
        if (!materialValid) {
            return Status::Failure("group \"" + group.name +
                                   "\" names a material that does not exist");
        }
        for (const uint32_t triangle : group.triangleIndices) {
            if (triangle >= grouped.size() || grouped[triangle] != 0) {
                return Status::Failure(
                    "group \"" + group.name +
                    "\" names a face that does not exist or is in another group");
            }
            grouped[triangle] = 1;
        }
    }
    for (std::size_t t = 0; t < grouped.size(); ++t) {
        if (grouped[t] == 0) {
            return Status::Failure("face " + Ordinal(t) + " is in no group");
        }
    }
    return Status::Ok();
}

} // namespace

Status Validate(const Mesh& mesh, MeshNumbers numbers) {
    if (numbers == MeshNumbers::Finite) {
        if (Status status = CheckFiniteValues(mesh); !status) {
            return status;
        }
    }
    for (Status (*check)(const Mesh&) : {CheckSizes, CheckCorners, CheckGroups}) {
        if (Status status = check(mesh); !status) {
            return status;
        }
    }
    return Status::Ok();
}
