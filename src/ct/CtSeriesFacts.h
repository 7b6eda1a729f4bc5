#pragma once

#include <array>
#include <cstdint>
#include <string>

// What a CT series says about itself, for the report and the command line.
struct CtSeriesFacts {
    std::string seriesUid;
    std::string description;         // Series Description, empty when the files give none
    std::string date;                // Series Date (YYYYMMDD), else Study Date, else empty
    double sliceThickness = 0;       // mm, as the files state it; 0 when they do not
    std::array<int, 3> size{};       // voxels along a row, down the columns, across slices
    std::array<double, 3> spacing{}; // mm; across slices the distance between slice positions
    int16_t minHu = 0, maxHu = 0;
    // Voxels whose value went beyond the 16-bit range of Hounsfield units and were clamped.
    long long clampedVoxels = 0;
};
