#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"
#include "ct/CtSlicer.h"
#include "ct/CtVolume.h"

// How the track's pictures are cut from a volume. Lengths along the track and across it are in
// the body frame's centimetres, pixel and slab sizes in millimetres. The slab is held to 0-50 mm,
// the width to 0.1-200 cm and the margin to 0-200 cm; a value that is not a number takes the
// default (no slab for the slab).
struct CtObliqueOptions {
    double pixelMm = 0;  // a pixel's side; 0 takes the volume's smallest voxel spacing
    double marginCm = 3; // shown beyond IN and OUT along the track
    double widthCm = 10; // the picture's extent across the track (each picture of the cross plane)
    double slabMm = 6;   // thickness of the minimum-intensity slab along the normal; 0 one plane
    int outsideHu = -1000; // what a pixel shows where the whole slab lies outside the volume (air)
};

// A rectangle of square pixels in the body frame (cm). The picture point (x, y), counted in
// pixels from the top left corner with a pixel's centre at its index + 0.5, lies at corner + x *
// across + y * down; the slab reaches slabMm / 2 each side along the unit normal.
struct CtObliquePlane {
    Vec3 cornerCm;
    Vec3 acrossCm, downCm; // one pixel to the right and one down, cm
    Vec3 normal;
    int width = 0, height = 0;
    double pixelMm = 0;
    double slabMm = 0;
    int outsideHu = -1000;
};

// The direction, square to the track, that its pictures show upward: the direction nearest the
// body's head (+Y) square to the track; for a track within about 6 degrees of the head-foot axis,
// the one nearest the front (+Z) instead, so that the picture never turns about an undefined
// axis. The track direction must be a unit vector.
Vec3 UpOfTrack(const Vec3& trackDirection);

// The plane holding the track: IN left, OUT right, the track running through the picture's middle
// row, up as UpOfTrack says, the track's length and a margin each side across the picture and
// widthCm down it. Its normal is the track direction times up. Fails when IN and OUT coincide.
Status TrackPlane(const CtVolume& volume, const Vec3& inCm, const Vec3& outCm,
                  const CtObliqueOptions& options, CtObliquePlane& plane);

// The plane square to the track through the point `fraction` of the way from IN to OUT (0 at IN,
// 1 at OUT), seen from IN looking toward OUT: up as UpOfTrack says, the track direction times up
// to the right, the point at the picture's centre, widthCm each way. Its normal is the track.
Status CrossPlane(const CtVolume& volume, const Vec3& inCm, const Vec3& outCm, double fraction,
                  const CtObliqueOptions& options, CtObliquePlane& plane);

// The body point (cm) on the plane at the picture point (x, y), pixels from the top left corner.
Vec3 BodyOfPicturePoint(const CtObliquePlane& plane, double x, double y);
// Where a body point lies in the picture and how far from the plane along its normal (mm).
CtSlicePoint PicturePointOfBody(const CtObliquePlane& plane, const Vec3& bodyCm);
