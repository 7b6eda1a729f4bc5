#include "case/Trajectory.h"

#include "base/Angles.h"
#include "base/ValueLimits.h"

#include <algorithm>
#include <cmath>

namespace {

// asin of a ratio that is at most 1 in exact arithmetic; rounding must not push it past 1.
double SafeAsin(double ratio) {
    return std::asin(std::min(ratio, 1.0));
}

} // namespace

void Trajectory::SetPoints(double newX1, double newY1, double newZ1, double newX2, double newY2,
                           double newZ2) {
    x1 = newX1;
    y1 = newY1;
    z1 = newZ1;
    x2 = newX2;
    y2 = newY2;
    z2 = newZ2;

    const double deltaX = x2 - x1;
    const double deltaY = y2 - y1;
    const double deltaZ = z2 - z1;

    // A vertical or zero-length trajectory keeps a small horizontal length so nothing divides by 0.
    const double horizontal = std::max(std::sqrt(deltaX * deltaX + deltaZ * deltaZ), 0.001);

    double base = 0;
    double sign = 0;
    if (deltaZ > 0) {
        base = kPi;
        sign = deltaX >= 0 ? 1.0 : -1.0;
    } else {
        base = 0;
        sign = deltaX >= 0 ? -1.0 : 1.0;
    }
    direction = base + sign * SafeAsin(std::fabs(deltaX) / horizontal);

    const double elevationSign = deltaY > 0 ? 1.0 : -1.0;
    elevation = elevationSign *
                SafeAsin(std::fabs(deltaY) / std::sqrt(deltaY * deltaY + horizontal * horizontal));
}

double Trajectory::GetElevationDegrees() const {
    return elevation * 180 / kPi;
}

double Trajectory::GetDirectionDegrees() const {
    return direction * 180 / kPi;
}

double Trajectory::GetDirectionAngle() const {
    const double theta = GetDirectionDegrees();
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

void Trajectory::SetColor(double red, double green, double blue) {
    r = red;
    g = green;
    b = blue;
}

bool Trajectory::SetUncertainty(double metres) {
    if (!value_limits::IsUncertainty(metres)) { // also refuses a NaN
        return false;
    }
    uncertainty = metres;
    return true;
}

bool Trajectory::SetUncertaintyOut(double metres) {
    if (!value_limits::IsUncertainty(metres)) { // also refuses a NaN
        return false;
    }
    uncertaintyOut = metres;
    return true;
}
