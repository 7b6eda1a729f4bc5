#pragma once

#include <array>
#include <optional>
#include <string>

struct Trajectory;

// The course of a trajectory through the body as a pathologist writes it, in the body frame (+X
// toward the body's left, +Y up, +Z toward its front), and what the measurement uncertainty of its
// points allows. Every length is in metres, every angle in degrees.

// A component of the track shorter than this counts as no movement along that axis.
inline constexpr double kCourseThreshold = 0.001;

struct CourseComponents {
    std::string anteroposterior; // "front to back", "back to front" or "none"
    std::string lateral;         // "right to left", "left to right" or "none"
    std::string vertical;        // "upward", "downward" or "none"
};

// Angles of the track with the anatomical planes, each from absolute components; empty when both
// components it needs are under 1 mm.
struct PlaneAngles {
    std::optional<double> transverse; // from the front-back axis, in the horizontal plane
    std::optional<double> sagittal;   // from the horizontal, seen from the side
    std::optional<double> coronal;    // from the horizontal, seen from the front
};

// The cone that holds every line through the two balls of radius `radius` around IN and OUT, and
// the direction and elevation ranges it allows. The cone and both ranges are empty when the
// points are no farther apart than the balls are wide (L <= 2r): then nothing is determined.
struct DirectionUncertainty {
    double radius = 0;                              // m
    std::optional<double> coneHalfAngle;            // asin(2r / L)
    std::optional<std::array<double, 2>> direction; // low, high, each in [0, 360); clockwise
                                                    // from low to high (low > high crosses 0)
    std::optional<std::array<double, 2>> elevation; // low, high, within [-90, 90]
    bool directionUnbounded = false;                // the whole circle: direction is {0, 360}
};

// Whether a track's direction (its bearing) is undetermined: there is no cone about it, or the
// cone, of half-angle `halfAngle`, reaches the vertical (halfAngle >= 90 - |elevation|), so that
// a line within it may point anywhere seen from above. The balls' cone and the uncertainty
// budget's 95 % cone are both read so. Degrees.
bool DirectionUndetermined(std::optional<double> halfAngle, double elevation);

CourseComponents DescribeCourse(double deltaX, double deltaY, double deltaZ);
// "front to back, right to left and downward"; "no measurable course" when nothing is named.
std::string CourseSentence(const CourseComponents& course);
PlaneAngles ComputePlaneAngles(double deltaX, double deltaY, double deltaZ);
// From the track length, the uncertainty radius and the displayed direction and elevation angles.
DirectionUncertainty ComputeUncertainty(double length, double radius, double direction,
                                        double elevation);

// Everything the report says about one trajectory's geometry.
struct TrajectoryCourse {
    CourseComponents components;
    std::string sentence;
    PlaneAngles planeAngles;
    DirectionUncertainty uncertainty;
    double length = 0; // |OUT - IN|, m
};

TrajectoryCourse DescribeTrajectory(const Trajectory& trajectory);
