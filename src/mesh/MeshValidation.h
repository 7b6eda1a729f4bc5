#pragma once

#include "base/Status.h"
#include "mesh/Mesh.h"

// Whether Validate requires every number to be finite. A Wavefront model's numbers are handed on
// as its text writes them ("nan" and "inf" included): the body load refuses such a position in
// words of its own, naming the vertex, and normals are made afresh wherever they are used.
enum class MeshNumbers { Finite, AsWritten };

// What every mesh a reader hands on satisfies, so that fitting, normals, drawing, picking and
// export may index its arrays without checking:
// - every position, normal, colour, texture coordinate and facet normal is a finite number
//   (unless `numbers` is AsWritten);
// - colours are absent or one per position; facet normals are absent or one per triangle;
// - every corner names an existing position, and a normal and texture coordinate that exist or
//   none (kNoIndex);
// - every group names an existing material (or material 0 when the mesh has none), and the groups'
//   lists together name every triangle exactly once.
// A failure names the first breach found, in words for the reader's message.
Status Validate(const Mesh& mesh, MeshNumbers numbers = MeshNumbers::Finite);
