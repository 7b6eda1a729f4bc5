#pragma once

#include "Vec3.h"

#include <array>
#include <vector>

// An indexed triangle mesh with 0-based corners, counter-clockwise seen from outside.
struct TriMesh {
    std::vector<Vec3> vertices;
    std::vector<std::array<int, 3>> triangles;
};
