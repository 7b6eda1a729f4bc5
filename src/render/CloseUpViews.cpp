#include "render/CloseUpViews.h"

#include "budget/UncertaintyCone.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"
#include "render/OffscreenRenderer.h"
#include "view/ViewState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// Around the framed stretch: a quarter of its size and two centimetres more, and never less than
// five centimetres across, so that a track of a few millimetres still shows the body around it.
constexpr double kMarginShare = 0.25;
constexpr double kMarginMetres = 0.02;
constexpr double kSmallestHalfExtent = 0.05;
// A direction whose part across the track is shorter than this is too close to the track to
// look along.
constexpr double kShortestAcross = 0.3;

double Length(const Vec3& v) {
    return std::sqrt(Dot(v, v));
}

Vec3 Scaled(const Vec3& v, double factor) {
    return {v.x * factor, v.y * factor, v.z * factor};
}

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

// The part of `direction` across the unit `track`, made unit; empty when it is too short.
std::optional<Vec3> Across(const Vec3& direction, const Vec3& track) {
    const double length = Length(direction);
    if (length == 0) {
        return std::nullopt;
    }
    const Vec3 unit = Scaled(direction, 1 / length);
    const Vec3 across = Minus(unit, Scaled(track, Dot(unit, track)));
    const double acrossLength = Length(across);
    if (acrossLength < kShortestAcross) {
        return std::nullopt;
    }
    return Scaled(across, 1 / acrossLength);
}

// From the track toward the eye: from the front, as the body is pictured in anatomical position,
// unless the track lies well to one side of the body's axis (an arm, a flank), then away from
// the axis; else from the side the track lies on, else from above.
Vec3 ViewingDirection(const Vec3& middle, const Vec3& track, double axisX, double axisZ) {
    constexpr double kWellToOneSide = 0.12; // m from the axis
    const Vec3 outward{middle.x - axisX, 0, middle.z - axisZ};
    const Vec3 front{0, 0, 1};
    const Vec3 side{middle.x < axisX ? -1.0 : 1.0, 0, 0};
    const Vec3 first = std::fabs(middle.x - axisX) > kWellToOneSide ? outward : front;
    for (const Vec3& candidate : {first, front, side, Vec3{0, 1, 0}}) {
        if (const auto across = Across(candidate, track)) {
            return *across;
        }
    }
    return {0, 0, 1}; // not reached: one of three orthogonal directions is always across
}

} // namespace

CloseUpFraming FrameCloseUp(const Vec3& in, const Vec3& out, double coneHalfAngle, double axisX,
                            double axisZ, int width, int height) {
    const Vec3 travel = Minus(out, in);
    const double length = Length(travel);
    const Vec3 track = length > 0 ? Scaled(travel, 1 / length) : Vec3{0, 0, -1};
    // The track and half its length of cone behind IN, whose rim there is this wide.
    const Vec3 coneEnd = Minus(in, Scaled(track, length / 2));
    const double coneRadius =
        (length / 2) * std::tan(std::clamp(coneHalfAngle, 0.0, 80.0) / kDegreesPerRadian);
    const Vec3 middle = Scaled(Plus(coneEnd, out), 0.5);
    const double stretch = 0.75 * length + coneRadius;
    const double halfExtent =
        std::max(kSmallestHalfExtent, stretch * (1 + kMarginShare) + kMarginMetres);

    CloseUpFraming framing;
    framing.toCamera = ViewingDirection(middle, track, axisX, axisZ);
    const Vec3& w = framing.toCamera;
    const double yaw = std::atan2(-w.x, w.z) * kDegreesPerRadian;
    const double pitch = std::atan2(-w.y, std::hypot(w.x, w.z)) * kDegreesPerRadian;
    // The picture's shorter side holds the framed circle.
    const double halfField = std::tan(Camera::kFieldOfView / 2 / kDegreesPerRadian);
    const double aspect = static_cast<double>(width) / std::max(1, height);
    const double distance = halfExtent / (halfField * std::min(1.0, aspect));
    Camera turned;
    turned.Set(0, 0, 0, yaw, pitch, 0);
    const Vec3 eye = Plus(turned.ViewMatrix().TransformPoint(middle), Vec3{0, 0, distance});
    framing.camera.Set(eye.x, eye.y, eye.z, yaw, pitch, 0);
    framing.pixelsPerMetre = (std::max(1, height) / 2.0) / (distance * halfField);
    return framing;
}

std::array<double, 2> PixelOf(const Camera& camera, const Vec3& point, int width, int height) {
    const Vec3 eye = camera.ViewMatrix().TransformPoint(point);
    const Vec3 clip = Camera::ProjectionMatrix(width, height).TransformPoint(eye);
    return {(clip.x + 1) / 2 * width, (1 - clip.y) / 2 * height};
}

std::vector<CloseUpView> RenderCloseUps(const PosedCase& posed, const ViewState& view,
                                        OffscreenRenderer& offscreen,
                                        const std::vector<std::optional<double>>& cones95) {
    const int width = offscreen.Width(), height = offscreen.Height();
    const Case& theCase = posed.GetCase();
    for (std::size_t i = 0; i < cones95.size() && i < theCase.trajectories.size(); ++i) {
        offscreen.GetRenderer().DrawnCones().Keep(posed, NumberOfIndex(i), cones95[i]);
    }
    ViewState shown = view; // the caller's camera and switches stay as they were
    shown.ClearSelection();
    DisplaySwitches& switches = shown.Switches();
    switches.outlines = true;
    switches.bodyTransparent = true; // the track runs inside the body
    switches.uncertaintyCones = true;
    switches.landmarks = true;
    switches.sceneCutAway = true; // a wall before the body must not hide the track
    const double axisZ = theCase.body.GetDepth() / 2;
    std::vector<CloseUpView> views;
    for (const PosedTrajectory& track : posed.GetTrajectories()) {
        const Trajectory& trajectory = *theCase.TrajectoryNumbered(track.number);
        const auto cone = UncertaintyConeOf(trajectory);
        const double halfAngle =
            cone ? std::atan2(cone->radius, kUncertaintyConeLength) * kDegreesPerRadian : 0.0;
        CloseUpView close;
        close.number = track.number;
        close.framing = FrameCloseUp(track.in, track.out, halfAngle, 0.0, axisZ, width, height);
        close.inPixel = PixelOf(close.framing.camera, track.in, width, height);
        close.outPixel = PixelOf(close.framing.camera, track.out, width, height);
        close.exited = trajectory.exited;
        shown.GetCamera() = close.framing.camera;
        switches.soleTrajectory = track.number; // the others' arrows would cross its picture
        close.image = offscreen.Draw(posed, shown);
        views.push_back(std::move(close));
    }
    return views;
}

std::optional<std::vector<CloseUpView>>
RenderCloseUps(const PosedCase& posed, const ViewState& view,
               std::shared_ptr<const ArrowModels> arrows, int width, int height, std::string& error,
               const std::vector<std::optional<double>>& cones95) {
    if (posed.GetTrajectories().empty()) {
        return std::vector<CloseUpView>();
    }
    const auto offscreen = OffscreenRenderer::Create(width, height, std::move(arrows), error);
    if (!offscreen) {
        return std::nullopt;
    }
    return RenderCloseUps(posed, view, *offscreen, cones95);
}
