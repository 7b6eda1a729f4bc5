#include "case/TrackAngles.h"

#include <algorithm>
#include <cmath>

namespace {

// The direction and elevation angles have always been computed with this ten-digit value of pi,
// both for the half turn and for the conversion to degrees; stored cases and printed figures
// depend on it to the last digit. It belongs to these two angles only: every other angle of the
// program is converted with std::numbers::pi.
constexpr double kAnglePi = 3.1415926535;

// asin of a ratio that is at most 1 in exact arithmetic; rounding must not push it past 1.
double SafeAsin(double ratio) {
    return std::asin(std::min(ratio, 1.0));
}

// A vertical or zero-length track keeps a small horizontal length so nothing divides by 0.
double Horizontal(const Vec3& d) {
    return std::max(std::sqrt(d.x * d.x + d.z * d.z), 0.001);
}

// The turn about +Y in radians, within [-pi/2, 3 pi/2].
double YawRadians(const Vec3& in, const Vec3& out) {
    const Vec3 d = {out.x - in.x, out.y - in.y, out.z - in.z};
    double base = 0;
    double sign = 0;
    if (d.z > 0) {
        base = kAnglePi;
        sign = d.x >= 0 ? 1.0 : -1.0;
    } else {
        base = 0;
        sign = d.x >= 0 ? -1.0 : 1.0;
    }
    return base + sign * SafeAsin(std::fabs(d.x) / Horizontal(d));
}

} // namespace

double ArrowYaw(const Vec3& in, const Vec3& out) {
    return YawRadians(in, out) * 180 / kAnglePi;
}

double Bearing(const Vec3& in, const Vec3& out) {
    const double theta = ArrowYaw(in, out);
    double bearing = 0;
    if (theta > 0 && theta < 270) {
        bearing = 360 - theta;
    } else if (theta >= 270) {
        bearing = theta;
    } else {
        bearing = -theta;
    }
    // A bearing a hair west of -Z rounds to 360, which is the same direction as 0.
    if (bearing >= 360) {
        bearing = 0;
    }
    return bearing + 0.0; // turns -0.0 into 0.0
}

double Elevation(const Vec3& in, const Vec3& out) {
    const Vec3 d = {out.x - in.x, out.y - in.y, out.z - in.z};
    const double horizontal = Horizontal(d);
    const double sign = d.y > 0 ? 1.0 : -1.0;
    const double radians =
        sign * SafeAsin(std::fabs(d.y) / std::sqrt(d.y * d.y + horizontal * horizontal));
    return radians * 180 / kAnglePi;
}

double WrapBearing(double degrees) {
    double bearing = std::fmod(degrees, 360.0);
    if (bearing < 0) {
        bearing += 360.0;
    }
    if (bearing >= 360.0) {
        bearing = 0;
    }
    return bearing + 0.0;
}
