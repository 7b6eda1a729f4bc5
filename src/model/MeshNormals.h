#pragma once

#include "model/Mesh.h"

// One normal per triangle, 1-based; a degenerate triangle gets a zero normal.
void glmTriangleNormals(Mesh& mesh);

// One normal per triangle corner, averaged across neighbours up to the crease angle (degrees).
// Needs the facet normals.
void glmVertexNormals(Mesh& mesh, float angle);

// Multiplies every vertex normal by the factor (the normals are not normalised again).
void glmScaleNormals(Mesh& mesh, float factor);
