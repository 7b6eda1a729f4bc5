#pragma once

#include "base/Status.h"
#include "ct/CtVolume.h"
#include "mesh/Mesh.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct IsoSurfaceOptions {
    // The surface encloses every voxel whose value is at least this (Hounsfield units).
    int thresholdHu = -500;
    // Threads to work on; 0 takes one per processor core. The mesh is the same on any number.
    std::size_t threads = 0;
};

// The closed surface around the voxels at or above the threshold, by marching cubes: each cell
// of eight neighbouring voxel centres is cut by the triangles of its case (CubeCaseTable), whose
// faces are cut by their own four corners alone, keeping the inside corners of an ambiguous face
// apart, so that neighbouring cells cut their common face alike. Every edge of the result is
// shared by exactly two triangles, and every triangle faces away from the voxels it encloses.
//
// The surface crosses an edge between two voxel centres where the linear interpolation of their
// values meets threshold - 0.5 HU: the values are whole numbers, so no voxel lies on the surface
// itself. Outside the volume counts as below the threshold: where an edge leaves the volume the
// surface crosses it at its middle, so a body cut by the scan's field of view is closed by a cap
// half a voxel beyond its outermost voxel centres, where the voxels' own extent ends.
//
// Positions are in the patient frame (LPS, mm), each crossed edge's vertex made once; normals are
// one per position (area-weighted over its triangles) and named by the corners like the positions;
// one group "iso-surface" holds the triangles. Fails, leaving `mesh` empty, on a volume whose
// sizes, spacing or voxel count do not agree, or whose surface would need more than 2^32 vertices.
Status ExtractIsoSurface(const CtVolume& volume, const IsoSurfaceOptions& options, Mesh& mesh);

// Part of the same surface, for building it piece by piece: the cells between two layers of the
// volume padded with one outside voxel on every side (grid layer g holds voxel slice g - 1; the
// cell layers run from 0 to IsoSurfaceLayers). Where the slab ends inside the volume the surface
// is left open, and the vertices on its first and last grid planes are listed with a key (the
// edge's grid point times two plus its axis, i or j) that the neighbouring slab gives the same
// vertex, so that the pieces join into the whole surface (the same vertices and triangles
// ExtractIsoSurface makes). Positions are in LPS mm.
struct IsoSurfaceSlab {
    std::vector<Vec3f> positions;
    std::vector<std::array<uint32_t, 3>> triangles;
    std::vector<std::pair<uint32_t, uint32_t>> bottom, top; // (key, index into positions)
};

// The cell layers of the padded volume (its slices + 1).
int IsoSurfaceLayers(const CtVolume& volume);

// Marches each range [first, end) of cell layers at the threshold on the calling thread, one slab
// a range. Fails, leaving `slabs` empty, as ExtractIsoSurface does, or when a range lies outside
// the volume.
Status MarchIsoSurfaceSlabs(const CtVolume& volume, int thresholdHu,
                            const std::vector<std::pair<int, int>>& layers,
                            std::vector<IsoSurfaceSlab>& slabs);
