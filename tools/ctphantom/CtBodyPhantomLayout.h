#pragma once

#include "base/Matrix4.h"

#include <cstdint>
#include <string>
#include <vector>

// A solid in the body phantom: the points closer than `radius` to the segment from a to b (a
// sphere where a and b are one point); with a shell thickness, only those whose distance lies
// between radius - shell and radius.
struct CtPhantomCapsule {
    std::string name;
    Vec3 a, b; // body frame, cm
    double radius = 0;
    int16_t hu = 0;
    double shell = 0;

    Vec3 Centre() const { return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2}; }
    bool Contains(const Vec3& p) const;
};

// What the body phantom holds besides the skin, in the body frame (cm: +X toward the body's
// left, +Y toward the head, +Z toward its front; y = 0 at the soles, z = 0 at the back, x = 0 in
// the middle), for a body of the default body's shape and the given height. The positions are
// the default body's own (its joints, its chest) at 200 cm, scaled with the height.
struct CtBodyPhantomLayout {
    static constexpr int16_t kAirHu = -1000, kTissueHu = 40, kFatHu = -100, kBoneHu = 700,
                             kLungHu = -800, kMetalHu = 3000;
    double fatDepthCm = 1.0; // fat under the skin, measured in the axial plane

    std::vector<CtPhantomCapsule> bones; // spine, pelvis, skull, limbs' long bones
    std::vector<CtPhantomCapsule> lungs; // right, left
    // The wound channel through the chest, filled with air: it enters the skin on the front of
    // the right chest (near a) and leaves it on the back (near b); both ends lie outside the skin.
    CtPhantomCapsule channel;
    // A metal fragment on the channel's axis, inside the chest.
    CtPhantomCapsule fragment;
    // A bullet that stopped in the front of the left thigh, its nose at b; the blind channel of
    // air leading to it from the skin ends at the bullet's centre.
    CtPhantomCapsule bullet;
    CtPhantomCapsule bulletChannel;
};

CtBodyPhantomLayout MakeCtBodyPhantomLayout(double heightCm);
