// The head and the neck: skull, brow, orbits with the eyes, nose, lips, chin, jaw and ears in the
// proportions of an adult man (head height one seventh and a half of the stature).
#include "BodyParts.h"
#include "SignedDistance.h"

#include <algorithm>

namespace {

double PairedFacePart(Vec3 p) {
    double d = EllipsoidDistance(p, {-0.054, 1.846, 0.222}, {0.022, 0.015, 0.026}); // cheekbone
    d = SmoothUnion(
        d, RoundConeDistance(p, {-0.064, 1.775, 0.13}, {-0.018, 1.744, 0.232}, 0.018, 0.012),
        0.02); // jaw
    d = SmoothUnion(d, EllipsoidDistance(p, {-0.0125, 1.815, 0.270}, {0.0105, 0.009, 0.011}),
                    0.008); // wing of the nose
    return d;
}

double Ear(Vec3 p) {
    const double shell = EllipsoidDistance(p, {-0.086, 1.858, 0.150}, {0.013, 0.034, 0.021});
    // The bowl of the ear opens outward and a little forward.
    const double bowl = EllipsoidDistance(p, {-0.1, 1.853, 0.154}, {0.008, 0.018, 0.012});
    return SmoothIntersection(shell, -bowl, 0.006);
}

double EyeSocket(Vec3 p) {
    return EllipsoidDistance(p, {-0.034, 1.867, 0.262}, {0.021, 0.0155, 0.02});
}

} // namespace

namespace BodyParts {

double Head(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.115, 1.70, 0.03}, {0.115, 2.01, 0.31});
        far > kFarFromPart) {
        return far;
    }
    double d = EllipsoidDistance(p, {0, 1.895, 0.153}, {0.082, 0.105, 0.107}); // cranium
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.818, 0.176}, {0.071, 0.078, 0.076}),
                    0.03); // face
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.749, 0.234}, {0.024, 0.02, 0.014}),
                    0.02); // chin
    d = SmoothUnion(d, SmoothUnion(PairedFacePart(p), PairedFacePart(Mirrored(p)), 0.02), 0.02);
    d = SmoothUnion(
        d, RoundConeDistance(p, {-0.045, 1.889, 0.236}, {0.045, 1.889, 0.236}, 0.013, 0.013),
        0.025); // brow
    // The orbits, then the eyes set in them.
    d = SmoothIntersection(d, -std::min(EyeSocket(p), EyeSocket(Mirrored(p))), 0.014);
    d = SmoothUnion(d,
                    std::min(SphereDistance(p, {-0.034, 1.866, 0.238}, 0.0128),
                             SphereDistance(p, {0.034, 1.866, 0.238}, 0.0128)),
                    0.006);
    d = SmoothUnion(d, RoundConeDistance(p, {0, 1.870, 0.250}, {0, 1.822, 0.287}, 0.008, 0.0115),
                    0.014); // nose
    d = SmoothUnion(d, EllipsoidDistance(p, {0, 1.783, 0.239}, {0.028, 0.017, 0.012}),
                    0.02); // lips
    d = SmoothIntersection(d, -EllipsoidDistance(p, {0, 1.7835, 0.262}, {0.022, 0.0022, 0.008}),
                           0.004); // the line between the lips
    d = SmoothUnion(d, std::min(Ear(p), Ear(Mirrored(p))), 0.012);
    return d;
}

double Neck(Vec3 p) {
    if (const double far = DistanceToBox(p, {-0.12, 1.56, 0.02}, {0.12, 1.84, 0.24});
        far > kFarFromPart) {
        return far;
    }
    double d = RoundConeDistance(p, {0, 1.615, 0.112}, {0, 1.80, 0.128}, 0.064, 0.056);
    // The sternocleidomastoid muscles from behind the ears to the top of the breastbone.
    for (const double side : {-1.0, 1.0}) {
        d = SmoothUnion(d,
                        RoundConeDistance(p, {side * 0.062, 1.818, 0.125},
                                          {side * 0.016, 1.652, 0.192}, 0.016, 0.012),
                        0.025);
    }
    return d;
}

} // namespace BodyParts
