#pragma once

#include "base/Matrix4.h"

#include <string>

// A coloured ellipsoid placed by the user (a fragment, an organ, a bullet found in the body): its
// centre in the body frame, its full extents along its own axes (width along x, height along y,
// length along z, metres), the turns that place those axes (degrees), colour and label.
struct Element {
    Vec3 centre;
    Vec3 size;
    double yaw = 0, pitch = 0, roll = 0;
    Vec3 color = {1, 0, 0}; // red, green, blue, each 0..1
    std::string label;

    bool operator==(const Element&) const = default;
};
