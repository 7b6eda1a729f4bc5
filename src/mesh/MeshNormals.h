#pragma once

#include "mesh/Mesh.h"

// One normal per triangle, in the triangles' order; a degenerate triangle gets a zero normal.
void ComputeFacetNormals(Mesh& mesh);

// One normal per triangle corner, averaged across neighbours up to the crease angle (degrees).
// Needs the facet normals.
void ComputeVertexNormals(Mesh& mesh, float angle);

// Multiplies every vertex normal by the factor (the normals are not normalised again).
void ScaleNormals(Mesh& mesh, float factor);
