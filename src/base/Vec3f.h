#pragma once

#include "base/Matrix4.h"

#include <cmath>

// A point or direction in single precision: what a mesh stores per position and normal. The
// double Vec3 is for computing; a mesh keeps floats to halve its memory.
struct Vec3f {
    float x = 0, y = 0, z = 0;

    bool operator==(const Vec3f&) const = default;

    // Axis 0, 1 or 2, for code that walks the axes in a loop.
    float operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
    float& operator[](int axis) { return axis == 0 ? x : axis == 1 ? y : z; }

    Vec3f operator+(const Vec3f& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3f operator-(const Vec3f& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3f operator*(float factor) const { return {x * factor, y * factor, z * factor}; }
};

inline Vec3f Cross(const Vec3f& a, const Vec3f& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float Dot(const Vec3f& a, const Vec3f& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline bool IsFinite(const Vec3f& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline Vec3 ToVec3(const Vec3f& v) {
    return {v.x, v.y, v.z};
}

// Rounds each coordinate to the nearest float.
inline Vec3f ToVec3f(const Vec3& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}
