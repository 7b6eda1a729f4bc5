#pragma once

#include "mesh/Mesh.h"

#include <cstdint>

// A lighter copy of a mesh for drawing: its vertices merged cell by cell on a regular grid
// (vertex clustering), each merged vertex at the mean of those it replaces, the triangles whose
// corners fall into fewer than three cells dropped. Groups and materials are kept, normals made
// afresh (smooth up to a 30 degree crease). The grid is made coarser until the copy has at most
// `targetTriangles` triangles (or is as coarse as the tries allow). Measurements never use it.
Mesh SimplifyByClustering(const Mesh& mesh, uint32_t targetTriangles);
