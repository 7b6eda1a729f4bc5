#pragma once

#include "base/Status.h"
#include "ct/IsoSurface.h"
#include "mesh/Mesh.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Joins the slabs of an iso-surface, in order, into one mesh, every slab's share on whichever
// thread is free: the vertices on a slab's first plane are the previous slab's on its last (found
// by their keys), and each slab's other vertices follow all earlier slabs' own, in the slab's
// order. The mesh is the same on any number of threads: its normals, one per position and named
// by the corners like the positions, are each the area-weighted sum over the vertex's triangles,
// added up slab by slab. One group "iso-surface" holds every triangle.
class IsoSurfaceJoin {
public:
    IsoSurfaceJoin(std::vector<IsoSurfaceSlab>& slabs, std::size_t threads);

    // Fails, leaving `mesh` empty, when the mesh would need more than 2^32 vertices, or when a
    // slab's first plane names a vertex the previous slab did not make. The slabs are emptied.
    Status Into(Mesh& mesh);

private:
    template <typename Work> void EachSlab(const Work& work);
    void Rank(std::size_t slab);
    bool Place(std::size_t slab, Mesh& mesh);
    void Normals(std::size_t slab, Mesh& mesh);
    void AddGroup(Mesh& mesh) const;

    std::vector<IsoSurfaceSlab>& slabs_;
    std::size_t threads_;
    // Per slab: each vertex's place among the slab's own (kNoIndex for those on its first plane),
    // how many it owns, where its vertices and triangles begin in the mesh, the area-weighted
    // normals its triangles add to the vertices on its first plane (in the order of its list of
    // them), and the box round its own vertices.
    std::vector<std::vector<uint32_t>> ranks_;
    std::vector<std::size_t> ownCounts_, vertexOffsets_, triangleOffsets_;
    std::vector<std::vector<Vec3f>> firstPlaneSums_;
    std::vector<std::array<float, 6>> boxes_;
};
