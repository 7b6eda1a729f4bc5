#pragma once

#include "base/Matrix4.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

class PosedCase;

// The part of the space that stands between the eye and the body: the pyramid from the eye to
// the box around the posed body (widened a little, so that no sliver of wall rims the body), cut
// off at the plane through the box's corner nearest to the eye and, for an eye above the body,
// at a plane just above the body's lowest point. Scene geometry inside it is cut away, so that a
// wall, a door or a ceiling before the body opens onto it as a window; scene geometry beside the
// pyramid, beyond that plane (the wall behind the body) or below the body (the floor it stands or
// kneels on) is drawn as ever.
struct SceneCutAway {
    // Eye coordinates; a point (x, y, z, 1) is inside where every plane gives a value > 0. The
    // first is the near plane, then the four sides through the eye, then the floor's when there
    // is one.
    std::vector<std::array<double, 4>> planes;

    bool Contains(const Vec3& eyePoint) const;
};

// The box (body frame, m) around the posed body as drawn; nothing without a body mesh.
struct BodyBox {
    Vec3 low, high;
};
std::optional<BodyBox> PosedBodyBox(const PosedCase& posed);

// The region for a camera with view transform `view` (body frame to eye) and the body's box;
// nothing when a corner of the box lies at or behind the eye's near plane (the eye inside or
// beside the body: nothing stands between).
std::optional<SceneCutAway> CutAwayBefore(const Matrix4& view, const BodyBox& box);

// Calls `draw` once for each of the pieces that together make the space outside the region, piece
// k inside planes 0 .. k-1 and outside plane k (so at most six of OpenGL's clip planes, the least
// every implementation has): every point outside is drawn once (a
// translucent surface is blended once), none inside. The clip planes are left disabled.
void DrawOutsideCutAway(const SceneCutAway& region, const std::function<void()>& draw);
