#pragma once

#include "Vec3.h"

// The default body as a smooth implicit surface: negative inside, zero on the skin. A standing
// adult man 2 m tall in anatomical position (arms at the sides, palms forward), facing +Z with
// the back near z = 0, feet on y = 0, the right side toward -X. The right shoulder, right elbow
// and head pivots are the points the arm pose transform turns about.
namespace BodyShape {

inline constexpr Vec3 kRightShoulder = {-0.2093, 1.5851, 0.1089};
inline constexpr Vec3 kRightElbow = {-0.1960, 1.2802, 0.0992};
inline constexpr Vec3 kRightWrist = {-0.245, 0.985, 0.108};
inline constexpr Vec3 kHeadPivot = {0.0, 1.7303, 0.1440};
// The right leg's axis runs from the hip joint to the knee joint; the shank ends below the knee.
inline constexpr Vec3 kRightHip = {-0.098, 1.0, 0.118};
inline constexpr Vec3 kRightKnee = {-0.088, 0.535, 0.118};

// The box that holds the whole body with a margin.
inline constexpr Vec3 kBoundsMin = {-0.36, -0.03, -0.04};
inline constexpr Vec3 kBoundsMax = {0.36, 2.03, 0.36};

double Evaluate(Vec3 p);

// Unnormalised gradient by central differences.
Vec3 Gradient(Vec3 p);

// The parts the mesh is grouped into, in the order the file lists them. The arm ends at the
// shoulder (where the arm's own shape meets the trunk's) and at the plane through the elbow; the
// leg ends where its shape meets the trunk's, and the thigh at the level plane through the knee.
enum class Part {
    Head,
    Trunk,
    RightArm,
    RightForearm,
    LeftArm,
    LeftForearm,
    RightThigh,
    RightShank,
    LeftThigh,
    LeftShank
};
inline constexpr int kPartCount = 10;
const char* PartName(Part part);
// The part whose own shape is nearest to the skin point p.
Part PartAt(Vec3 p);

} // namespace BodyShape
