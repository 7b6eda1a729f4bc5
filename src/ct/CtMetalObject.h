#pragma once

#include "base/Matrix4.h"

#include <cstddef>

// One metal object of a CT volume: a projectile, a fragment, a dental filling.
struct CtMetalObject {
    Vec3 centroidLps;  // patient frame, mm
    Vec3 centroidBody; // body frame, cm; set when a frame was given (hasBodyCentroid)
    bool hasBodyCentroid = false;
    double volumeMm3 = 0;   // partial-volume corrected, see FindCtMetal
    double extentMm = 0;    // the largest distance across the object
    int peakHu = 0;         // the highest voxel value
    std::size_t voxels = 0; // voxels at or above the threshold
    int surroundingHu = 0;  // the value taken for the tissue around it
    int metalHu = 0;        // the value taken for the metal itself
};
