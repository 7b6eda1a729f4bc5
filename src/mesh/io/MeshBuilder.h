#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"

#include <cstdint>
#include <string>
#include <vector>

// Fills a Mesh from a reader that knows its vertices and triangles, as the Wavefront reader fills
// one (a "default" group, a "default" material), so that fitting, normals, drawing and picking
// need not know where the mesh came from. Colours and texture coordinates are per vertex.
class MeshBuilder {
public:
    explicit MeshBuilder(Mesh& target) : mesh(target) {}

    // Sizes the arrays; colours and texture coordinates are per vertex when asked for.
    void Reserve(uint64_t vertices, uint64_t triangles, bool colors, bool texCoords);

    // Room for `triangles` triangles in all, on pages made ready for them.
    void ReserveTriangles(uint64_t triangles);

    // Sets vertex `index` (from 0, within the reserved count).
    void SetVertex(uint32_t index, float x, float y, float z);
    void SetColor(uint32_t index, float r, float g, float b, float a);
    void SetTexCoord(uint32_t index, float u, float v);
    // Appends a triangle of vertex indices (from 0, checked by Finish) to the current group.
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c);

    // Materials after "default" (entry 0); returns the new entry's index.
    uint32_t AddMaterial(const MeshMaterial& material);
    // Later triangles go to a new group drawn with `material`. Without any call every triangle
    // is in one group "default".
    void BeginGroup(const std::string& name, uint32_t material);

    // Drops the vertex arrays down to `count` entries (after welding).
    void ShrinkVertices(uint32_t count);

    // Checks every index and every coordinate, builds the groups and the box, and validates the
    // mesh. A failure names what is wrong.
    Status Finish();

    uint32_t TriangleCount() const { return static_cast<uint32_t>(mesh.triangles.size()); }

private:
    struct PendingGroup {
        std::string name;
        uint32_t material = 0;
        uint32_t firstTriangle = 0;
    };
    Status FirstFault() const;
    void BuildGroups();

    Mesh& mesh;
    std::vector<MeshMaterial> extraMaterials;
    std::vector<PendingGroup> pendingGroups;
};

// The largest model we take: beyond this the arrays would not fit the 32-bit indices.
inline constexpr uint64_t kMaxMeshElements = 0x3FFFFFFF;
