#pragma once

#include <numbers>

// Degrees and radians, with the one value of pi the program computes with.
inline constexpr double DegreesToRadians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

inline constexpr double RadiansToDegrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}
