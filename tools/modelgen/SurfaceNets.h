#pragma once

#include "Vec3.h"

#include <array>
#include <functional>
#include <vector>

// A closed surface of quads, counter-clockwise seen from outside, one vertex per grid cell that
// the surface crosses.
struct QuadMesh {
    std::vector<Vec3> vertices;
    std::vector<std::array<int, 4>> quads;
};

// Polygonises the zero set of `field` (negative inside) over the grid of the given step that
// fills the box; the grid is symmetric about x = 0 when the box is. The field must be positive on
// the box's faces. Every surface-crossing grid edge gives one quad joining the four cells around
// it, so neighbouring quads share their vertices and edges exactly.
QuadMesh PolygoniseSurfaceNets(const std::function<double(Vec3)>& field, Vec3 boxMin, Vec3 boxMax,
                               double step);
