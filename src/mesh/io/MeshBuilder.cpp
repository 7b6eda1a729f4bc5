#include "mesh/io/MeshBuilder.h"

#include "base/LargeArrays.h"
#include "mesh/MeshGroups.h"

#include <cmath>
#include <numeric>
#include <optional>

namespace {

// The first vertex (1-based) whose `width` values in `values` are not all finite numbers.
std::optional<std::size_t> FirstNonFiniteEntry(const std::vector<float>& values,
                                               std::size_t width) {
    for (std::size_t i = width; i < values.size(); ++i) {
        if (!std::isfinite(values[i])) {
            return i / width;
        }
    }
    return std::nullopt;
}

} // namespace

void MeshBuilder::Reserve(uint64_t vertices, uint64_t triangles, bool colors, bool texCoords) {
    mesh.vertexCount = static_cast<uint32_t>(vertices);
    AllocateExactly(mesh.vertices, 3 * (vertices + 1), 0.0f);
    if (colors) {
        AllocateExactly(mesh.colors, 4 * (vertices + 1), 1.0f);
    }
    if (texCoords) {
        mesh.texCoordCount = static_cast<uint32_t>(vertices);
        AllocateExactly(mesh.texCoords, 2 * (vertices + 1), 0.0f);
    }
    ReserveTriangles(triangles);
}

void MeshBuilder::ReserveTriangles(uint64_t triangles) {
    ReserveOnHugePages(mesh.triangles, triangles);
}

void MeshBuilder::SetVertex(uint32_t index, float x, float y, float z) {
    float* p = &mesh.vertices[3 * std::size_t{index}];
    p[0] = x;
    p[1] = y;
    p[2] = z;
}

void MeshBuilder::SetColor(uint32_t index, float r, float g, float b, float a) {
    float* p = &mesh.colors[4 * std::size_t{index}];
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

void MeshBuilder::SetTexCoord(uint32_t index, float u, float v) {
    mesh.texCoords[2 * std::size_t{index}] = u;
    mesh.texCoords[2 * std::size_t{index} + 1] = v;
}

void MeshBuilder::AddTriangle(uint32_t a, uint32_t b, uint32_t c) {
    MeshTriangle triangle;
    triangle.vertex[0] = static_cast<int32_t>(a);
    triangle.vertex[1] = static_cast<int32_t>(b);
    triangle.vertex[2] = static_cast<int32_t>(c);
    if (!mesh.texCoords.empty()) {
        for (int corner = 0; corner < 3; ++corner) {
            triangle.texCoord[corner] = triangle.vertex[corner];
        }
    }
    mesh.triangles.push_back(triangle);
}

void MeshBuilder::ShrinkVertices(uint32_t count) {
    mesh.vertexCount = count;
    mesh.vertices.resize(3 * (std::size_t{count} + 1));
    mesh.vertices.shrink_to_fit();
    if (!mesh.colors.empty()) {
        mesh.colors.resize(4 * (std::size_t{count} + 1));
    }
    if (!mesh.texCoords.empty()) {
        mesh.texCoordCount = count;
        mesh.texCoords.resize(2 * (std::size_t{count} + 1));
    }
}

Status MeshBuilder::Finish() {
    // Colours and texture coordinates go on to drawing and to the exported scene as they are.
    if (const auto vertex = FirstNonFiniteEntry(mesh.vertices, 3)) {
        return Status::Failure("vertex " + std::to_string(*vertex) +
                               " has a coordinate that is not a number");
    }
    if (const auto vertex = FirstNonFiniteEntry(mesh.colors, 4)) {
        return Status::Failure("vertex " + std::to_string(*vertex) +
                               " has a colour that is not a number");
    }
    if (const auto vertex = FirstNonFiniteEntry(mesh.texCoords, 2)) {
        return Status::Failure("vertex " + std::to_string(*vertex) +
                               " has a texture coordinate that is not a number");
    }
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        for (int32_t vertex : mesh.triangles[t].vertex) {
            if (vertex < 1 || static_cast<uint32_t>(vertex) > mesh.vertexCount) {
                return Status::Failure("face " + std::to_string(t + 1) +
                                       " names a vertex that does not exist");
            }
        }
    }
    if (mesh.triangles.empty()) {
        return Status::Failure("the file holds no triangles");
    }
    mesh.triangleCount = static_cast<uint32_t>(mesh.triangles.size());
    mesh.materials.assign(1, MeshMaterial{});
    mesh.materials[0].name = "default";
    mesh.materials.insert(mesh.materials.end(), extraMaterials.begin(), extraMaterials.end());
    mesh.materialCount = static_cast<uint32_t>(mesh.materials.size());
    BuildGroups();
    ComputeMeshBoxes(mesh);
    mesh.revision = NextMeshRevision();
    return Status::Ok();
}

uint32_t MeshBuilder::AddMaterial(const MeshMaterial& material) {
    extraMaterials.push_back(material);
    return static_cast<uint32_t>(extraMaterials.size());
}

void MeshBuilder::BeginGroup(const std::string& name, uint32_t material) {
    pendingGroups.push_back({name, material, static_cast<uint32_t>(mesh.triangles.size())});
}

// Groups are listed most recent first, as the Wavefront reader lists them; empty ones are left out.
void MeshBuilder::BuildGroups() {
    if (pendingGroups.empty() || pendingGroups.front().firstTriangle != 0) {
        pendingGroups.insert(pendingGroups.begin(), PendingGroup{"default", 0, 0});
    }
    mesh.groups.clear();
    mesh.groups.reserve(pendingGroups.size());
    // Walked from the last group to the first, so that each is appended: inserting every group
    // at the front took time growing with the square of their number.
    for (std::size_t g = pendingGroups.size(); g-- > 0;) {
        const uint32_t first = pendingGroups[g].firstTriangle;
        const uint32_t end =
            g + 1 < pendingGroups.size() ? pendingGroups[g + 1].firstTriangle : mesh.triangleCount;
        if (end <= first) {
            continue;
        }
        MeshGroup group;
        group.name = pendingGroups[g].name;
        group.material =
            pendingGroups[g].material < mesh.materialCount ? pendingGroups[g].material : 0;
        group.triangleCount = end - first;
        group.triangleIndices.resize(group.triangleCount);
        std::iota(group.triangleIndices.begin(), group.triangleIndices.end(), first);
        mesh.groups.push_back(std::move(group));
    }
    mesh.groupCount = static_cast<uint32_t>(mesh.groups.size());
}
