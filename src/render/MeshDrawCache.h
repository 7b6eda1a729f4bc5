#pragma once

#include "mesh/Mesh.h"
#include "render/MeshBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Display lists holding what DrawMesh issues for a mesh, one per (mesh, revision, mode, alpha,
// normal scale), so that a large mesh is not sent through immediate mode in every frame and every
// pick. A mesh of kBufferTriangles or more goes into indexed vertex buffers instead, which are
// built in a fraction of the time and memory a display list of it takes. The lists
// belong to the OpenGL context that is current while the cache is used; destroy the cache (or
// Release it) while that context is still current.
class MeshDrawCache {
public:
    MeshDrawCache() = default;
    ~MeshDrawCache();
    MeshDrawCache(const MeshDrawCache&) = delete;
    MeshDrawCache& operator=(const MeshDrawCache&) = delete;

    // Calls the display list for the mesh, compiling it first when the mesh, its revision, the
    // mode, the alpha or the normal scale differ from what was compiled. The mode must be
    // reconciled already.
    void Draw(const Mesh& mesh, unsigned mode, float alpha, float normalScale = 1.0f);
    // Deletes every list (the context must be current).
    void Release();
    // Drops the lists without deleting them, for when their context is gone (a new context may
    // already use the same list numbers).
    void Forget();
    int ListCount() const { return static_cast<int>(entries.size()); }
    // How many of the entries are vertex buffers rather than display lists.
    int BufferCount() const;

    static constexpr size_t kBufferTriangles = 200000;

private:
    struct Entry {
        const Mesh* mesh = nullptr;
        uint64_t revision = 0;
        unsigned mode = 0;
        float alpha = 0;
        float normalScale = 1;
        unsigned list = 0;
        std::unique_ptr<MeshBuffer> buffer; // instead of the list, for a large mesh
    };
    Entry* Find(const Mesh& mesh, unsigned mode, float alpha, float normalScale);
    Entry* Compile(const Mesh& mesh, unsigned mode, float alpha, float normalScale);
    void ForgetStaleRevisions(const Mesh& mesh);

    // Meshes that were replaced leave their lists behind; the oldest go first beyond this.
    static constexpr size_t kMaxEntries = 16;
    std::vector<Entry> entries;
};
