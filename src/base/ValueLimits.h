#pragma once

// The widest values a case takes, wherever they come from (a data file, a dialog). Each keeps the
// arithmetic that follows finite: squares of lengths, centimetres, sines and cosines of angles,
// and the single-precision numbers the drawing and the exports are made of.
namespace value_limits {

// Lengths in metres. Anything beyond a thousand kilometres is no measurement on a body; 1e308
// would overflow to an infinite number of centimetres and to angles that are not numbers.
inline constexpr double kLargestLength = 1e6;

// Angles in degrees. Beyond a million degrees an angle means nothing, and 1e308 overflows to an
// infinity once turned into radians, whose sine is not a number.
inline constexpr double kLargestAngle = 1e6;

// The uncertainty radius in metres: a ball of a metre around a point already holds most of a
// body, so a larger radius is no measurement.
inline constexpr double kLargestUncertainty = 1.0;

// Colour components as the data file writes them.
inline constexpr double kLargestColorByte = 255.0;

inline bool IsLength(double metres) {
    return metres >= -kLargestLength && metres <= kLargestLength;
}

inline bool IsAngle(double degrees) {
    return degrees >= -kLargestAngle && degrees <= kLargestAngle;
}

inline bool IsUncertainty(double metres) {
    return metres >= 0 && metres <= kLargestUncertainty;
}

} // namespace value_limits
