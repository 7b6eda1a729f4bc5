#include "case/TrajectoryCourse.h"

#include "case/TrackAngles.h"
#include "case/TrackLine.h"
#include "case/Trajectory.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

bool Measurable(double component) {
    return std::fabs(component) >= kCourseThreshold;
}

// The absolute component, or 0 when it is under the threshold.
double Significant(double component) {
    return Measurable(component) ? std::fabs(component) : 0.0;
}

std::optional<double> PlaneAngle(double opposite, double adjacent) {
    if (!Measurable(opposite) && !Measurable(adjacent)) {
        return std::nullopt;
    }
    return std::atan2(Significant(opposite), Significant(adjacent)) * kDegreesPerRadian;
}

std::string Named(double component, const char* positive, const char* negative) {
    if (!Measurable(component)) {
        return "none";
    }
    return component > 0 ? positive : negative;
}

} // namespace

CourseComponents DescribeCourse(double deltaX, double deltaY, double deltaZ) {
    CourseComponents course;
    course.anteroposterior = Named(deltaZ, "back to front", "front to back");
    course.lateral = Named(deltaX, "right to left", "left to right");
    course.vertical = Named(deltaY, "upward", "downward");
    return course;
}

std::string CourseSentence(const CourseComponents& course) {
    std::vector<std::string> named;
    for (const std::string* part : {&course.anteroposterior, &course.lateral, &course.vertical}) {
        if (*part != "none") {
            named.push_back(*part);
        }
    }
    if (named.empty()) {
        return "no measurable course";
    }
    std::string sentence = named.front();
    for (size_t i = 1; i < named.size(); ++i) {
        sentence += (i + 1 == named.size() ? " and " : ", ") + named[i];
    }
    return sentence;
}

PlaneAngles ComputePlaneAngles(double deltaX, double deltaY, double deltaZ) {
    PlaneAngles angles;
    angles.transverse = PlaneAngle(deltaX, deltaZ);
    angles.sagittal = PlaneAngle(deltaY, deltaZ);
    angles.coronal = PlaneAngle(deltaY, deltaX);
    return angles;
}

bool DirectionUndetermined(std::optional<double> halfAngle, double elevation) {
    return !halfAngle || !(*halfAngle < 90.0 - std::fabs(elevation));
}

DirectionUncertainty ComputeUncertainty(double length, double radius, double direction,
                                        double elevation) {
    DirectionUncertainty result;
    result.radius = radius;
    if (!(length > 2 * radius) || !std::isfinite(length) || !std::isfinite(radius)) {
        return result;
    }
    const double alpha = std::asin(2 * radius / length) * kDegreesPerRadian;
    result.coneHalfAngle = alpha;
    result.elevation = std::array<double, 2>{std::max(-90.0, elevation - alpha),
                                             std::min(90.0, elevation + alpha)};
    if (!DirectionUndetermined(alpha, elevation)) {
        const double alphaRadians = alpha / kDegreesPerRadian;
        const double elevationRadians = elevation / kDegreesPerRadian;
        const double ratio = std::sin(alphaRadians) / std::cos(elevationRadians);
        const double spread = std::asin(std::min(ratio, 1.0)) * kDegreesPerRadian;
        result.direction =
            std::array<double, 2>{WrapBearing(direction - spread), WrapBearing(direction + spread)};
    } else {
        result.direction = std::array<double, 2>{0.0, 360.0};
        result.directionUnbounded = true;
    }
    return result;
}

TrajectoryCourse DescribeTrajectory(const Trajectory& trajectory) {
    // A track with points between IN and OUT runs along the line fitted through all its stops:
    // its course is that line's from where IN lies on it to where OUT does.
    const auto [lineIn, lineOut] = StraightTrackEnds(trajectory);
    const Vec3 delta = Minus(lineOut, lineIn);
    const Vec3 to =
        trajectory.points.empty()
            ? trajectory.out
            : Vec3{trajectory.in.x + delta.x, trajectory.in.y + delta.y, trajectory.in.z + delta.z};
    const double deltaX = delta.x, deltaY = delta.y, deltaZ = delta.z;
    TrajectoryCourse course;
    course.components = DescribeCourse(deltaX, deltaY, deltaZ);
    course.sentence = CourseSentence(course.components);
    course.planeAngles = ComputePlaneAngles(deltaX, deltaY, deltaZ);
    course.length = std::sqrt(deltaX * deltaX + deltaY * deltaY + deltaZ * deltaZ);
    course.uncertainty =
        ComputeUncertainty(course.length, trajectory.radiusIn, Bearing(trajectory.in, to),
                           Elevation(trajectory.in, to));
    return course;
}
