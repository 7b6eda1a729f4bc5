#pragma once

#include "base/Matrix4.h"
#include "body/LandmarkTable.h"

#include <string>

// Says where a point of the body frame (metres) lies the way a pathologist locates a wound:
// "12.3 cm left of the midline, 131.0 cm above the heel, 4 cm below the left nipple". The
// distances from the midline and the heel have millimetres, the offsets from the nearest
// landmark whole centimetres (only the axes that differ by at least half a centimetre). Without
// landmarks the last part is left out. The texts never depend on the process locale.
std::string DescribeBodyPoint(const Vec3& point, const LandmarkTable& landmarks);
