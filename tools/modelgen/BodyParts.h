#pragma once

#include "Vec3.h"

// The fields the body is joined from (negative inside). Paired parts are described on the
// body's right side (x < 0); the caller mirrors the point for the left side.
namespace BodyParts {

// Pelvis, belly, chest, back, buttocks and shoulder girdle, both sides.
double Trunk(Vec3 p);
// The neck from the shoulders up to the skull base and under the jaw.
double Neck(Vec3 p);
// Skull and face with ears.
double Head(Vec3 p);
// The right upper arm from the shoulder cap to the elbow.
double UpperArm(Vec3 p);
// The right forearm with the hand.
double Forearm(Vec3 p);
// The right leg from the hip to the toes, without the buttock.
double Leg(Vec3 p);

// A part farther than this from its box cannot change the field near the skin (the widest
// fillet is narrower), so its distance to the box stands in for it.
inline constexpr double kFarFromPart = 0.08;
double DistanceToBox(Vec3 p, Vec3 lo, Vec3 hi);

// Sign of an ellipsoid slice in the x-z plane: an approximate distance from (x, z) to the
// ellipse with centre (0, zc) and half axes a (x) and b (z).
double EllipseDistance(double x, double z, double zc, double a, double b);

} // namespace BodyParts
