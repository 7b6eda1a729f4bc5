#pragma once

#include "mesh/Mesh.h"

#include <cstdint>
#include <memory>
#include <vector>

// A large mesh in indexed vertex buffers (OpenGL 1.5 buffer objects): each distinct pair of
// position and normal once, the triangles as indices into them, one index range per group. It
// draws the same triangles in the same order with the same values as DrawMesh's immediate calls,
// so the pixels are the same, but it is built much faster than a display list of a million
// triangles and holds far less memory. The buffers belong to the context that was current when
// Create ran.
class MeshBuffer {
public:
    ~MeshBuffer();
    MeshBuffer(const MeshBuffer&) = delete;
    MeshBuffer& operator=(const MeshBuffer&) = delete;

    // Whether a mesh drawn in `mode` can be drawn from buffers exactly as immediate mode would:
    // smooth shading with a valid position and normal at every corner, no texture coordinates,
    // no facet normals, no per-vertex colours to draw.
    static bool Supports(const Mesh& mesh, unsigned mode);
    // Builds the buffers, the normals multiplied by normalScale as DrawMesh issues them; nullptr
    // when the context has no buffer objects or runs out of memory.
    static std::unique_ptr<MeshBuffer> Create(const Mesh& mesh, unsigned mode,
                                              float normalScale = 1.0f);

    // Draws every group with its colour or material, as DrawMesh does.
    void Draw(const Mesh& mesh, unsigned mode, float alpha) const;
    // Deletes the buffers (their context must be current).
    void Release();
    // For when the context is gone: the buffers are not deleted.
    void Forget() { vertexBuffer = indexBuffer = 0; }

    size_t VertexCount() const { return vertexCount; }

private:
    MeshBuffer() = default;

    struct GroupRange {
        size_t group = 0; // index into Mesh::groups
        size_t first = 0; // first index of the group's triangles
        size_t count = 0;
    };

    unsigned vertexBuffer = 0; // interleaved normal, position: 6 floats a vertex
    unsigned indexBuffer = 0;
    size_t vertexCount = 0;
    float normalScale = 1.0f;
    std::vector<GroupRange> ranges;
};
