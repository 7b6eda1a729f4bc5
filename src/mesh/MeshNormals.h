#pragma once

#include "mesh/Mesh.h"

#include <cstddef>
#include <optional>

// One normal per triangle, in the triangles' order; a degenerate triangle gets a zero normal.
void ComputeFacetNormals(Mesh& mesh);

// One normal per triangle corner, averaged across neighbours up to the crease angle (degrees).
// Needs the facet normals.
void ComputeVertexNormals(Mesh& mesh, float angle);

// The number of normals ComputeFacetNormals and then ComputeVertexNormals(mesh, angle) make, with
// the same diagnostics, for a caller that wants only the count: no normal is stored and the mesh
// is not changed. Nothing when a triangle names no vertex of the mesh: the smoothing then leaves
// the normals as they are.
std::optional<std::size_t> CountVertexNormals(const Mesh& mesh, float angle);

// Multiplies every vertex normal by the factor (the normals are not normalised again).
void ScaleNormals(Mesh& mesh, float factor);
