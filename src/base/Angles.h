#pragma once

// The one value of pi used throughout the program. The angles shown to the user (direction and
// elevation) have always been computed with this ten-digit value, so printed angles stay as they
// were; every other conversion between degrees and radians uses it too.
inline constexpr double kPi = 3.1415926535;

inline constexpr double DegreesToRadians(double degrees) {
    return degrees * kPi / 180.0;
}
