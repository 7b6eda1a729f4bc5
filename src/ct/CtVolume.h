#pragma once
#include "base/Matrix4.h"
#include <array>
#include <cstdint>
#include <vector>
// A CT volume in Hounsfield units, slices sorted along the slice normal. Voxel (i, j, k) lies at
// origin + i * spacing[0] * rowDirection + j * spacing[1] * columnDirection + k * spacing[2] * sliceDirection
// in the patient frame (LPS, mm). i runs along a row (fastest), j down the columns, k across slices.
struct CtVolume {
    std::array<int, 3> size{};          // voxels along i, j, k
    std::array<double, 3> spacing{};    // mm
    Vec3 origin;                        // LPS, mm, of voxel (0, 0, 0)
    Vec3 rowDirection{1, 0, 0}, columnDirection{0, 1, 0}, sliceDirection{0, 0, 1}; // unit, LPS
    std::vector<int16_t> hu;            // size[0] * size[1] * size[2], index i + size[0] * (j + size[1] * k)
    int16_t At(int i, int j, int k) const { return hu[static_cast<size_t>(i) + static_cast<size_t>(size[0]) * (static_cast<size_t>(j) + static_cast<size_t>(size[1]) * static_cast<size_t>(k))]; }
};
