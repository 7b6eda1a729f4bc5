#pragma once

#include "base/Matrix4.h"

// The two angles a track is read by, from IN to OUT in the body frame (or any frame whose +Y is
// up): the direction angle, the bearing of the track's horizontal projection in [0, 360) degrees
// with 0 front to back (toward -Z), 90 right to left (toward +X), 180 back to front and 270 left
// to right; and the elevation in degrees, positive when OUT is above IN. A vertical track, or IN
// equal to OUT, has direction 0 (never -0).
struct TrackAngles {
    double direction = 0;
    double elevation = 0;
    bool operator==(const TrackAngles&) const = default;
};

double Bearing(const Vec3& in, const Vec3& out);
double Elevation(const Vec3& in, const Vec3& out);
inline TrackAngles AnglesOfTrack(const Vec3& in, const Vec3& out) {
    return {Bearing(in, out), Elevation(in, out)};
}

// A bearing in degrees taken into [0, 360); never -0.0 and never 360 after rounding.
double WrapBearing(double degrees);

// The turn about +Y, in degrees within [-90, 270], that lays an arrow modelled along -Z onto the
// track's horizontal direction (the bearing is 360 minus it, modulo 360); the arrow is then
// tipped up by the elevation.
double ArrowYaw(const Vec3& in, const Vec3& out);
