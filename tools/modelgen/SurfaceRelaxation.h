#pragma once

#include "SurfaceNets.h"
#include "TriMesh.h"

#include <functional>

// Evens out the quads of a polygonised surface: each round moves every vertex part of the way to
// the mean of its neighbours (which regularises the facets) and then back onto the field's zero
// set along the gradient (which keeps the shape and its volume).
void RelaxOntoSurface(QuadMesh& mesh, const std::function<double(Vec3)>& field,
                      const std::function<Vec3(Vec3)>& gradient, int rounds);

// Splits every quad along its shorter diagonal.
TriMesh Triangulate(const QuadMesh& mesh);
