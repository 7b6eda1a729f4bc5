#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// One Wavefront model in memory. Vertex, normal, texture-coordinate and facet-normal arrays are
// 1-based like the file's indices: entry 0 exists and is never used. Positions and normals are
// stored as consecutive float triples (entry k starts at index 3 * k), texture coordinates as
// pairs (entry k starts at 2 * k).

struct MeshTriangle {
    int32_t vertex[3] = {0, 0, 0};   // indices into vertices, corners in file order
    int32_t normal[3] = {0, 0, 0};   // indices into normals (0 = none)
    int32_t texCoord[3] = {0, 0, 0}; // indices into texCoords (0 = none)
    int32_t facetNormal = 0;         // index into facetNormals (0 until computed)
};

struct MeshMaterial {
    std::string name;
    std::array<float, 4> diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    std::array<float, 4> ambient = {0.2f, 0.2f, 0.2f, 1.0f};
    std::array<float, 4> specular = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 65.0f; // OpenGL scale 0..128
};

// The triangles drawn with one material ("default" or a usemtl name).
struct MeshGroup {
    std::string name;
    uint32_t triangleCount = 0;
    std::vector<uint32_t> triangleIndices;         // into Mesh::triangles, in file order
    uint32_t material = 0;                         // into Mesh::materials (0 = "default")
    std::array<float, 6> box = {0, 0, 0, 0, 0, 0}; // min x, y, z, max x, y, z
};

struct Mesh {
    std::string path; // as given to the reader, backslashes turned into forward slashes

    uint32_t vertexCount = 0;
    std::vector<float> vertices; // 3 * (vertexCount + 1)

    uint32_t normalCount = 0;
    std::vector<float> normals; // 3 * (normalCount + 1), or empty when there are none

    // Per-vertex colours (red, green, blue, alpha from 0 to 1), 4 * (vertexCount + 1), or empty
    // when the file has none; drawn in place of the material colour.
    std::vector<float> colors;

    uint32_t texCoordCount = 0;
    std::vector<float> texCoords; // 2 * (texCoordCount + 1), or empty when there are none

    uint32_t facetNormalCount = 0;
    std::vector<float> facetNormals; // 3 * (facetNormalCount + 1), or empty until computed

    uint32_t triangleCount = 0;
    std::vector<MeshTriangle> triangles; // from 0, in file order

    uint32_t materialCount = 0; // 0 without a material library, else 1 + the library's materials
    std::vector<MeshMaterial> materials; // entry 0 is "default"

    uint32_t groupCount = 0;
    std::vector<MeshGroup> groups; // list order: the most recently created group first

    std::array<float, 6> box = {0, 0, 0, 0, 0, 0}; // union of the group boxes and the origin
    std::array<double, 3> fitSize = {0, 0, 0};     // recorded by FitToUnitBox

    // Changes whenever positions or normals change (reading, fitting, normals, scaling), so that
    // a drawing cache can tell when to rebuild. Unique across all meshes of the process.
    uint64_t revision = 0;
};

// A fresh value for Mesh::revision.
inline uint64_t NextMeshRevision() {
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

// Draw mode bits of DrawMesh.
enum : unsigned {
    RENDER_FLAT = 1,
    RENDER_SMOOTH = 2,
    RENDER_TEXTURE = 4,
    RENDER_COLOR = 8,
    RENDER_MATERIAL = 16,
};
