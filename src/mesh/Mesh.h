#pragma once

#include "base/Vec3f.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// One model in memory, whatever file it came from. Every array counts from 0; an array the file
// does not give (normals, colours, texture coordinates) is empty. Validate (MeshValidation.h)
// states what a mesh handed on by a reader satisfies.

// A corner index that names nothing: the corner has no normal or no texture coordinate.
inline constexpr uint32_t kNoIndex = ~uint32_t{0};

struct MeshTriangle {
    std::array<uint32_t, 3> position = {0, 0, 0};                      // corners in file order
    std::array<uint32_t, 3> normal = {kNoIndex, kNoIndex, kNoIndex};   // into normals
    std::array<uint32_t, 3> texCoord = {kNoIndex, kNoIndex, kNoIndex}; // into texCoords
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
    std::vector<uint32_t> triangleIndices;         // into Mesh::triangles, in file order
    uint32_t material = 0;                         // into Mesh::materials (0 = "default")
    std::array<float, 6> box = {0, 0, 0, 0, 0, 0}; // min x, y, z, max x, y, z
};

struct Mesh {
    std::string path; // as given to the reader, backslashes turned into forward slashes
    // The SHA-256 (lower-case hexadecimal) of the bytes the reader parsed from `path`: what a
    // report cites, whatever the file holds by then. Empty for a mesh not read from a file.
    std::string sourceSha256;

    std::vector<Vec3f> positions;
    std::vector<Vec3f> normals; // as the file gives them, or as ComputeVertexNormals makes them

    // Per-position colours (red, green, blue, alpha from 0 to 1), one per position, or empty when
    // the file has none; drawn in place of the material colour.
    std::vector<std::array<float, 4>> colors;

    std::vector<std::array<float, 2>> texCoords;

    std::vector<MeshTriangle> triangles; // in file order
    std::vector<Vec3f> facetNormals;     // one per triangle, or empty until computed

    // Empty for a Wavefront model without a material library (its groups then name material 0,
    // which drawing treats as none), else "default" followed by the library's materials.
    std::vector<MeshMaterial> materials;

    // In the order the file creates them. (Older versions listed the most recent first; outputs
    // that were written in that order walk the list backwards.)
    std::vector<MeshGroup> groups;

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
