#include "budget/UncertaintyCone.h"

#include "budget/UncertaintyBudget.h"
#include "case/TrajectoryCourse.h"

#include <cmath>
#include <numbers>

double UncertaintyConeRimAngle(int index) {
    return 2 * std::numbers::pi * index / kUncertaintyConeSegments;
}

std::optional<UncertaintyConeShape> UncertaintyConeOf(const Trajectory& trajectory) {
    const TrajectoryCourse course = DescribeTrajectory(trajectory);
    if (!course.uncertainty.coneHalfAngle) {
        return std::nullopt;
    }
    return ConeWithHalfAngle(*course.uncertainty.coneHalfAngle);
}

std::optional<UncertaintyConeShape> DrawnUncertaintyConeOf(const PosedCase& posed, int number) {
    const std::optional<double> cone95 = UncertaintyCone95(posed, number);
    if (!cone95) {
        return std::nullopt;
    }
    return ConeWithHalfAngle(*cone95);
}

std::optional<UncertaintyConeShape> ConeWithHalfAngle(double degrees) {
    if (!(degrees >= 0 && degrees < 89)) {
        return std::nullopt;
    }
    const double radius = kUncertaintyConeLength * std::tan(degrees * std::numbers::pi / 180.0);
    if (!std::isfinite(radius)) {
        return std::nullopt; // a half-angle of 90 degrees opens no cone that can be drawn
    }
    UncertaintyConeShape cone;
    cone.radius = radius;
    cone.rim.reserve(kUncertaintyConeSegments + 1);
    for (int i = 0; i <= kUncertaintyConeSegments; ++i) {
        const double angle = UncertaintyConeRimAngle(i);
        cone.rim.push_back(
            {radius * std::cos(angle), radius * std::sin(angle), kUncertaintyConeLength});
    }
    return cone;
}

Vec3 UncertaintyConeNormal(const UncertaintyConeShape& cone, double angle) {
    // Perpendicular to the side line from the apex to the rim point at this angle.
    const double length = std::hypot(kUncertaintyConeLength, cone.radius);
    return {kUncertaintyConeLength * std::cos(angle) / length,
            kUncertaintyConeLength * std::sin(angle) / length, -cone.radius / length};
}
