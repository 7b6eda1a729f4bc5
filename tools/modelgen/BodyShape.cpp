#include "BodyShape.h"

#include "BodyParts.h"
#include "SignedDistance.h"

#include <algorithm>

namespace {

struct Fields {
    double trunk, neck, head, core;
    double rightArm, leftArm;
    double legs;
};

double WholeArm(Vec3 p) {
    return SmoothUnion(BodyParts::UpperArm(p), BodyParts::Forearm(p), 0.03);
}

Fields EvaluateFields(Vec3 p) {
    Fields f{};
    f.trunk = BodyParts::Trunk(p);
    f.neck = BodyParts::Neck(p);
    f.head = BodyParts::Head(p);
    f.core = SmoothUnion(SmoothUnion(f.trunk, f.neck, 0.04), f.head, 0.025);
    f.rightArm = WholeArm(p);
    f.leftArm = WholeArm(Mirrored(p));
    // The thighs meet below the crotch; the fillet between them fades out toward the knees.
    f.legs = SmoothUnion(BodyParts::Leg(p), BodyParts::Leg(Mirrored(p)),
                         0.05 * SmoothStep(0.74, 0.88, p.y));
    return f;
}

// Which side of the elbow a right-side point lies: the plane through the elbow halfway
// between the directions of the upper arm and the forearm.
bool BeyondElbow(Vec3 p) {
    using namespace BodyShape;
    const Vec3 normal = Normalized(Normalized(kRightShoulder - kRightElbow) +
                                   Normalized(kRightElbow - kRightWrist));
    return Dot(p - kRightElbow, normal) < 0;
}

} // namespace

namespace BodyShape {

double Evaluate(Vec3 p) {
    const Fields f = EvaluateFields(p);
    // A fillet of 3 cm keeps the gluteal fold between the buttocks and the thighs.
    double d = SmoothUnion(f.core, f.legs, 0.03);
    // The arms join the trunk only at the shoulders; lower down they stay apart from it.
    d = SmoothUnion(d, std::min(f.rightArm, f.leftArm), 0.05 * SmoothStep(1.38, 1.50, p.y));
    // Flat soles.
    return SmoothIntersection(d, -p.y, 0.01);
}

Vec3 Gradient(Vec3 p) {
    constexpr double h = 1e-6;
    const double centre = Evaluate(p);
    return Vec3{Evaluate({p.x + h, p.y, p.z}) - centre, Evaluate({p.x, p.y + h, p.z}) - centre,
                Evaluate({p.x, p.y, p.z + h}) - centre} *
           (1.0 / h);
}

const char* PartName(Part part) {
    switch (part) {
    case Part::Head:
        return "head";
    case Part::Trunk:
        return "trunk";
    case Part::RightArm:
        return "right_arm";
    case Part::RightForearm:
        return "right_forearm";
    case Part::LeftArm:
        return "left_arm";
    case Part::LeftForearm:
        return "left_forearm";
    case Part::RightThigh:
        return "right_thigh";
    case Part::RightShank:
        return "right_shank";
    case Part::LeftThigh:
        return "left_thigh";
    case Part::LeftShank:
        return "left_shank";
    }
    return "trunk";
}

Part PartAt(Vec3 p) {
    const Fields f = EvaluateFields(p);
    const double arm = std::min(f.rightArm, f.leftArm);
    if (arm < std::min(f.core, f.legs)) {
        if (f.rightArm <= f.leftArm) {
            return BeyondElbow(p) ? Part::RightForearm : Part::RightArm;
        }
        return BeyondElbow(Mirrored(p)) ? Part::LeftForearm : Part::LeftArm;
    }
    if (f.legs < f.core) {
        // The knee's own sphere sits 1 cm above its axis point: the split runs through its middle.
        const bool belowKnee = p.y < kRightKnee.y + 0.01;
        if (p.x < 0) {
            return belowKnee ? Part::RightShank : Part::RightThigh;
        }
        return belowKnee ? Part::LeftShank : Part::LeftThigh;
    }
    return f.head < std::min(f.trunk, f.neck) ? Part::Head : Part::Trunk;
}

} // namespace BodyShape
