#pragma once

#include "base/Matrix4.h"
#include "export/CapturedImage.h"
#include "view/Camera.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class OffscreenRenderer;
class PosedCase;
class ViewState;
struct ArrowModels;

// Where a close-up of one track looks from, and at what scale.
struct CloseUpFraming {
    Camera camera;
    Vec3 toCamera;             // unit, perpendicular to the track: from the track toward the eye
    double pixelsPerMetre = 0; // in the plane through the track that faces the camera
};

// Frames a track from `in` to `out` (body frame, metres) for a picture `width` by `height`
// pixels: the camera looks perpendicular to the track, from outside the body where it can (away
// from the body's vertical axis through `axisX`, `axisZ`), its up staying up; the picture holds
// the track and the first stretch of its uncertainty cone behind IN (half the track's length, of
// half-angle `coneHalfAngle` degrees, 0 when there is none) with a margin all round.
CloseUpFraming FrameCloseUp(const Vec3& in, const Vec3& out, double coneHalfAngle, double axisX,
                            double axisZ, int width, int height);

// A close-up of one trajectory, drawn offscreen.
struct CloseUpView {
    int number = 0;      // the trajectory's, 1-based
    CapturedImage image; // 32-bit, the bottom row first
    CloseUpFraming framing;
    // Where the posed IN and OUT show in the picture: pixels from its top left corner.
    std::array<double, 2> inPixel{};
    std::array<double, 2> outPixel{};
    bool exited = true; // the bullet left the body: OUT is an exit wound
};

// Where a body point shows in a picture `width` by `height` drawn with `camera`: pixels from the
// picture's top left corner.
std::array<double, 2> PixelOf(const Camera& camera, const Vec3& point, int width, int height);

// Draws every trajectory's close-up around its posed IN and OUT in a headless context of its own,
// the trajectories with `arrows`, with the body transparent, the uncertainty cones and the posed
// landmarks shown and the other display switches of `view`. `cones95` (one per trajectory in
// the case's order, degrees, when given) are the 95 % cones the caller has drawn already, shown
// instead of drawing them again. Returns nothing (and says why in `error`) when no headless
// context can be made.
std::optional<std::vector<CloseUpView>>
RenderCloseUps(const PosedCase& posed, const ViewState& view,
               std::shared_ptr<const ArrowModels> arrows, int width, int height, std::string& error,
               const std::vector<std::optional<double>>& cones95 = {});
// The same, drawn by `offscreen` (whose size and arrows they take).
std::vector<CloseUpView> RenderCloseUps(const PosedCase& posed, const ViewState& view,
                                        OffscreenRenderer& offscreen,
                                        const std::vector<std::optional<double>>& cones95 = {});
