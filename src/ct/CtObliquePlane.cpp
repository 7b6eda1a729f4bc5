#include "ct/CtObliquePlane.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMillimetresPerCentimetre = 10;
// No picture side grows beyond this many pixels: a longer one takes larger pixels.
constexpr double kLargestSide = 4096;
// Below this length the part of +Y square to the track is too short to set a direction by.
constexpr double kShortestUp = 0.1;
// The thickest slab and the widest picture and margin taken (mm, cm, cm).
constexpr double kThickestSlabMm = 50;
constexpr double kWidestCm = 200;

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

double SmallestSpacing(const CtVolume& volume) {
    return std::min({volume.spacing[0], volume.spacing[1], volume.spacing[2]});
}

// The pixel side for sides of the given lengths (cm): the one asked for, else the smallest voxel
// spacing, enlarged where a side would pass kLargestSide pixels.
double PixelMmFor(const CtVolume& volume, const CtObliqueOptions& options, double longestCm) {
    double pixel = options.pixelMm > 0 && std::isfinite(options.pixelMm) ? options.pixelMm
                                                                         : SmallestSpacing(volume);
    if (!(pixel > 0) || !std::isfinite(pixel)) {
        pixel = 1;
    }
    return std::max(pixel, longestCm * kMillimetresPerCentimetre / kLargestSide);
}

// An option held to its range; a value that is not a number takes the fallback.
double Held(double value, double lowest, double highest, double fallback) {
    return std::isfinite(value) ? std::clamp(value, lowest, highest) : fallback;
}

double SlabMmOf(const CtObliqueOptions& options) {
    return Held(options.slabMm, 0, kThickestSlabMm, 0);
}

double WidthCmOf(const CtObliqueOptions& options) {
    return Held(options.widthCm, 0.1, kWidestCm, 10);
}

int PixelsFor(double lengthCm, double pixelMm) {
    return std::max(
        1, static_cast<int>(std::ceil(lengthCm * kMillimetresPerCentimetre / pixelMm - 1e-9)));
}

// Fills the plane's corner, steps and size from its centre and its two picture axes (unit).
void Frame(const Vec3& centreCm, const Vec3& right, const Vec3& up, double widthCm, double heightCm,
           double pixelMm, CtObliquePlane& plane) {
    const double pixelCm = pixelMm / kMillimetresPerCentimetre;
    plane.width = PixelsFor(widthCm, pixelMm);
    plane.height = PixelsFor(heightCm, pixelMm);
    plane.pixelMm = pixelMm;
    plane.acrossCm = Scaled(right, pixelCm);
    plane.downCm = Scaled(up, -pixelCm);
    plane.cornerCm = Plus(centreCm, Plus(Scaled(plane.acrossCm, -plane.width / 2.0),
                                         Scaled(plane.downCm, -plane.height / 2.0)));
}

Status TrackDirection(const Vec3& inCm, const Vec3& outCm, Vec3& direction, double& lengthCm) {
    const Vec3 d = Minus(outCm, inCm);
    lengthCm = std::sqrt(Dot(d, d));
    if (!(lengthCm > 1e-6)) {
        return Status::Failure("IN and OUT lie at the same place: the track has no direction.");
    }
    direction = Scaled(d, 1 / lengthCm);
    return Status::Ok();
}

} // namespace

Vec3 UpOfTrack(const Vec3& trackDirection) {
    for (const Vec3& toward : {Vec3{0, 1, 0}, Vec3{0, 0, 1}}) {
        const Vec3 up = Minus(toward, Scaled(trackDirection, Dot(toward, trackDirection)));
        const double length = std::sqrt(Dot(up, up));
        if (length >= kShortestUp) {
            return Scaled(up, 1 / length);
        }
    }
    return {0, 0, 1}; // not reached for a unit direction
}

Status TrackPlane(const CtVolume& volume, const Vec3& inCm, const Vec3& outCm,
                  const CtObliqueOptions& options, CtObliquePlane& plane) {
    Vec3 direction;
    double lengthCm = 0;
    if (Status status = TrackDirection(inCm, outCm, direction, lengthCm); !status) {
        return status;
    }
    const Vec3 up = UpOfTrack(direction);
    const double alongCm = lengthCm + 2 * Held(options.marginCm, 0, kWidestCm, 3);
    const double acrossCm = WidthCmOf(options);
    const double pixelMm = PixelMmFor(volume, options, std::max(alongCm, acrossCm));
    Frame(Scaled(Plus(inCm, outCm), 0.5), direction, up, alongCm, acrossCm, pixelMm, plane);
    plane.normal = Cross(direction, up);
    plane.slabMm = SlabMmOf(options);
    plane.outsideHu = options.outsideHu;
    return Status::Ok();
}

Status CrossPlane(const CtVolume& volume, const Vec3& inCm, const Vec3& outCm, double fraction,
                  const CtObliqueOptions& options, CtObliquePlane& plane) {
    Vec3 direction;
    double lengthCm = 0;
    if (Status status = TrackDirection(inCm, outCm, direction, lengthCm); !status) {
        return status;
    }
    const Vec3 up = UpOfTrack(direction);
    const double sideCm = WidthCmOf(options);
    const double pixelMm = PixelMmFor(volume, options, sideCm);
    const Vec3 centre = Plus(inCm, Scaled(direction, fraction * lengthCm));
    Frame(centre, Cross(direction, up), up, sideCm, sideCm, pixelMm, plane);
    plane.normal = direction;
    plane.slabMm = SlabMmOf(options);
    plane.outsideHu = options.outsideHu;
    return Status::Ok();
}

Vec3 BodyOfPicturePoint(const CtObliquePlane& plane, double x, double y) {
    return Plus(plane.cornerCm, Plus(Scaled(plane.acrossCm, x), Scaled(plane.downCm, y)));
}

CtSlicePoint PicturePointOfBody(const CtObliquePlane& plane, const Vec3& bodyCm) {
    // The picture axes are square to each other and to the normal, so each coordinate is a
    // projection.
    const Vec3 d = Minus(bodyCm, plane.cornerCm);
    CtSlicePoint point;
    point.x = Dot(d, plane.acrossCm) / Dot(plane.acrossCm, plane.acrossCm);
    point.y = Dot(d, plane.downCm) / Dot(plane.downCm, plane.downCm);
    point.offsetMm = Dot(d, plane.normal) * kMillimetresPerCentimetre;
    return point;
}
