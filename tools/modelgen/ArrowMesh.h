#pragma once

#include "TriMesh.h"

// An arrow along -Z (the direction of travel): a round shaft from its flat tail at tailZ to the
// back of the head at headBaseZ, then a cone ending in a point at tipZ. All in metres.
struct ArrowDimensions {
    double tailZ = 0.65;
    double headBaseZ = -0.59;
    double tipZ = -0.65;
    double shaftRadius = 0.007;
    double headRadius = 0.018;
    int segments = 32;
};

// A closed surface whose facets face outward; the flat tail and the back of the head meet the
// shaft at right angles so that smoothing keeps those edges sharp.
TriMesh BuildArrow(const ArrowDimensions& dimensions);
