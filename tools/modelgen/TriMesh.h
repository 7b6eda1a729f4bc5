#pragma once

#include "Vec3.h"

#include <array>
#include <string>
#include <vector>

// An indexed triangle mesh with 0-based corners, counter-clockwise seen from outside. When
// `groupNames` is not empty every triangle names its group in `triangleGroups`.
struct TriMesh {
    std::vector<Vec3> vertices;
    std::vector<std::array<int, 3>> triangles;
    std::vector<std::string> groupNames;
    std::vector<int> triangleGroups;
};
