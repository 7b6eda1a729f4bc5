#include "mesh/io/MeshBuilder.h"

#include "base/LargeArrays.h"
#include "mesh/FiniteEntries.h"
#include "mesh/MeshGroups.h"
#include "mesh/MeshValidation.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace {

bool FiniteVec3f(const Vec3f& v) {
    return IsFinite(v);
}

// Vertices are named counting from 1, as in the file.
std::string VertexName(std::size_t index) {
    return "vertex " + std::to_string(index + 1);
}

} // namespace

void MeshBuilder::Reserve(uint64_t vertices, uint64_t triangles, bool colors, bool texCoords) {
    AllocateExactly(mesh.positions, vertices, Vec3f());
    if (colors) {
        AllocateExactly(mesh.colors, vertices, std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f});
    }
    if (texCoords) {
        AllocateExactly(mesh.texCoords, vertices, std::array<float, 2>{0.0f, 0.0f});
    }
    ReserveTriangles(triangles);
}

void MeshBuilder::ReserveTriangles(uint64_t triangles) {
    ReserveOnHugePages(mesh.triangles, triangles);
}

void MeshBuilder::SetVertex(uint32_t index, float x, float y, float z) {
    mesh.positions[index] = {x, y, z};
}

void MeshBuilder::SetColor(uint32_t index, float r, float g, float b, float a) {
    mesh.colors[index] = {r, g, b, a};
}

void MeshBuilder::SetTexCoord(uint32_t index, float u, float v) {
    mesh.texCoords[index] = {u, v};
}

void MeshBuilder::AddTriangle(uint32_t a, uint32_t b, uint32_t c) {
    MeshTriangle triangle;
    triangle.position = {a, b, c};
    if (!mesh.texCoords.empty()) {
        triangle.texCoord = triangle.position;
    }
    mesh.triangles.push_back(triangle);
}

void MeshBuilder::ShrinkVertices(uint32_t count) {
    mesh.positions.resize(count);
    mesh.positions.shrink_to_fit();
    if (!mesh.colors.empty()) {
        mesh.colors.resize(count);
    }
    if (!mesh.texCoords.empty()) {
        mesh.texCoords.resize(count);
    }
}

// The reader's own words for what Validate would also refuse, in the order they were always
// reported.
Status MeshBuilder::FirstFault() const {
    // Colours and texture coordinates go on to drawing and to the exported scene as they are.
    if (const auto vertex = FirstNonFiniteEntry(mesh.positions, FiniteVec3f)) {
        return Status::Failure(VertexName(*vertex) + " has a coordinate that is not a number");
    }
    if (const auto vertex = FirstNonFiniteEntry(mesh.colors, AllFinite<4>)) {
        return Status::Failure(VertexName(*vertex) + " has a colour that is not a number");
    }
    if (const auto vertex = FirstNonFiniteEntry(mesh.texCoords, AllFinite<2>)) {
        return Status::Failure(VertexName(*vertex) +
                               " has a texture coordinate that is not a number");
    }
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        for (const uint32_t vertex : mesh.triangles[t].position) {
            if (vertex >= mesh.positions.size()) {
                return Status::Failure("face " + std::to_string(t + 1) +
                                       " names a vertex that does not exist");
            }
        }
    }
    if (mesh.triangles.empty()) {
        return Status::Failure("the file holds no triangles");
    }
    return Status::Ok();
}

Status MeshBuilder::Finish() {
    if (Status fault = FirstFault(); !fault) {
        return fault;
    }
    mesh.materials.assign(1, MeshMaterial{});
    mesh.materials[0].name = "default";
    mesh.materials.insert(mesh.materials.end(), extraMaterials.begin(), extraMaterials.end());
    BuildGroups();
    // FirstFault has looked at every number the builder holds (it makes no normals), so Validate
    // need not scan them a second time.
    if (Status valid = Validate(mesh, MeshNumbers::AsWritten); !valid) {
        return valid;
    }
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

// Groups are kept in the order they began; empty ones are left out.
void MeshBuilder::BuildGroups() {
    if (pendingGroups.empty() || pendingGroups.front().firstTriangle != 0) {
        pendingGroups.insert(pendingGroups.begin(), PendingGroup{"default", 0, 0});
    }
    const auto triangles = static_cast<uint32_t>(mesh.triangles.size());
    mesh.groups.clear();
    mesh.groups.reserve(pendingGroups.size());
    for (std::size_t g = 0; g < pendingGroups.size(); ++g) {
        const uint32_t first = pendingGroups[g].firstTriangle;
        const uint32_t end =
            g + 1 < pendingGroups.size() ? pendingGroups[g + 1].firstTriangle : triangles;
        if (end <= first) {
            continue;
        }
        MeshGroup group;
        group.name = pendingGroups[g].name;
        group.material =
            pendingGroups[g].material < mesh.materials.size() ? pendingGroups[g].material : 0;
        group.triangleIndices.resize(end - first);
        std::iota(group.triangleIndices.begin(), group.triangleIndices.end(), first);
        mesh.groups.push_back(std::move(group));
    }
}
