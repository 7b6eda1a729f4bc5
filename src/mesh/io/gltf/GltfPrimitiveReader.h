#pragma once

#include "base/Status.h"
#include "mesh/io/gltf/GltfAccessorReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tinygltf {
class Model;
}

// The surface parts of one glTF mesh: its primitives of triangles (lists, strips and fans), each
// with positions, optional colours (COLOR_0) and texture coordinates (TEXCOORD_0), indexed or not.
// Points and lines have no surface and are left out. Plan() checks every accessor and counts
// vertices and triangles without reading anything; Read() then decodes the values, every index
// checked against the primitive's vertices.
class GltfPrimitiveReader {
public:
    struct Plan {
        int mode = 4;
        int positions = -1;
        int colors = -1;
        int texCoords = -1;
        int indices = -1;
        int material = -1;
        uint64_t vertexCount = 0;
        uint64_t triangleCount = 0;
    };

    struct Primitive {
        int material = -1;
        std::vector<float> positions;    // x, y, z per vertex
        std::vector<float> colors;       // r, g, b, a per vertex, or empty
        std::vector<float> texCoords;    // u, v per vertex, or empty
        std::vector<uint32_t> triangles; // three corners per triangle, from 0
    };

    explicit GltfPrimitiveReader(const tinygltf::Model& gltfModel)
        : model(gltfModel), accessors(gltfModel) {}

    // The triangle primitives of mesh `mesh`.
    Status PlanMesh(int mesh, std::vector<Plan>& plans) const;

    Status Read(int mesh, const Plan& plan, Primitive& primitive) const;

private:
    Status PlanPrimitive(int mesh, std::size_t index, Plan& plan) const;
    Status ReadCorners(const Plan& plan, const std::string& what,
                       std::vector<uint32_t>& triangles) const;

    const tinygltf::Model& model;
    GltfAccessorReader accessors;
};
