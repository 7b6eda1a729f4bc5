#include "render/SceneCutAway.h"

#include "base/Vec3f.h"
#include "case/PosedCase.h"
#include "view/Camera.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

// The pyramid is widened by this share of the box's extent as the eye sees it, each way.
constexpr double kSideMargin = 0.03;
// What lies less than this above the body's lowest point is its floor, never cut.
constexpr double kFloorClearance = 0.02; // m

using Plane = std::array<double, 4>;

constexpr std::size_t kMostClipPlanes = 6; // every OpenGL has at least these

double Value(const Plane& plane, const Vec3& p) {
    return plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3];
}

Plane Flipped(const Plane& plane) {
    return {-plane[0], -plane[1], -plane[2], -plane[3]};
}

// The extent of the box's corners as the eye sees them: slopes x / depth and y / depth, and the
// nearest depth.
struct Extent {
    double leftSlope = std::numeric_limits<double>::max();
    double rightSlope = std::numeric_limits<double>::lowest();
    double lowSlope = std::numeric_limits<double>::max();
    double highSlope = std::numeric_limits<double>::lowest();
    double nearest = std::numeric_limits<double>::max();

    void Add(const Vec3& eyePoint) {
        const double depth = -eyePoint.z;
        leftSlope = std::min(leftSlope, eyePoint.x / depth);
        rightSlope = std::max(rightSlope, eyePoint.x / depth);
        lowSlope = std::min(lowSlope, eyePoint.y / depth);
        highSlope = std::max(highSlope, eyePoint.y / depth);
        nearest = std::min(nearest, depth);
    }
};

void SetClipPlane(int index, const Plane& plane) {
    glClipPlane(static_cast<GLenum>(GL_CLIP_PLANE0 + index), plane.data());
    glEnable(static_cast<GLenum>(GL_CLIP_PLANE0 + index));
}

} // namespace

bool SceneCutAway::Contains(const Vec3& eyePoint) const {
    return std::ranges::all_of(
        planes, [&eyePoint](const Plane& plane) { return Value(plane, eyePoint) > 0; });
}

std::optional<BodyBox> PosedBodyBox(const PosedCase& posed) {
    const Mesh* mesh = posed.GetBody().GetMesh();
    if (mesh == nullptr || mesh->positions.empty()) {
        return std::nullopt;
    }
    Vec3 low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
             std::numeric_limits<double>::max()};
    Vec3 high{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest(),
              std::numeric_limits<double>::lowest()};
    const Matrix4 place = posed.GetCase().body.DrawTransform();
    for (const Vec3f& position : mesh->positions) {
        const Vec3 p = place.TransformPoint(ToVec3(position));
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    return BodyBox{low, high};
}

std::optional<SceneCutAway> CutAwayBefore(const Matrix4& view, const BodyBox& box) {
    Extent extent;
    for (const double x : {box.low.x, box.high.x}) {
        for (const double y : {box.low.y, box.high.y}) {
            for (const double z : {box.low.z, box.high.z}) {
                const Vec3 corner = view.TransformPoint({x, y, z});
                if (-corner.z <= Camera::kNearPlane) {
                    return std::nullopt;
                }
                extent.Add(corner);
            }
        }
    }
    const double across = (extent.rightSlope - extent.leftSlope) * kSideMargin;
    const double upDown = (extent.highSlope - extent.lowSlope) * kSideMargin;
    const double left = extent.leftSlope - across, right = extent.rightSlope + across;
    const double low = extent.lowSlope - upDown, high = extent.highSlope + upDown;
    // Depth is -z: nearer than the box is z > -nearest; beside the sides is x / depth beyond the
    // slopes, which for points behind the eye (negative depth) no point satisfies on both sides.
    SceneCutAway region;
    region.planes = {{0, 0, 1, extent.nearest},
                     {1, 0, left, 0},
                     {-1, 0, -right, 0},
                     {0, 1, low, 0},
                     {0, -1, -high, 0}};
    // The floor plane y = floor of the body frame, carried into the eye's frame by the view's
    // turn and shift. An eye below it looks up through the floor: nothing is spared then.
    const double floor = box.low.y + kFloorClearance;
    const std::optional<Matrix4> eyeToBody = view.Inverse();
    if (eyeToBody && eyeToBody->TransformPoint({}).y > floor) {
        const Vec3 up = view.TransformVector({0, 1, 0});
        const Vec3 shift = view.TransformPoint({});
        region.planes.push_back({up.x, up.y, up.z, -floor - Dot(up, shift)});
    }
    return region;
}

void DrawOutsideCutAway(const SceneCutAway& region, const std::function<void()>& draw) {
    // The planes are given in eye coordinates: OpenGL takes them through the inverse of the
    // model-view matrix current when they are set.
    glMatrixMode(GL_MODELVIEW);
    const std::size_t count = std::min<std::size_t>(region.planes.size(), kMostClipPlanes);
    // Piece k: inside planes 0 .. k-1 and outside plane k.
    for (std::size_t piece = 0; piece < count; ++piece) {
        glPushMatrix();
        glLoadIdentity();
        for (std::size_t inside = 0; inside < piece; ++inside) {
            SetClipPlane(static_cast<int>(inside), region.planes[inside]);
        }
        SetClipPlane(static_cast<int>(piece), Flipped(region.planes[piece]));
        glPopMatrix();
        draw();
        for (std::size_t plane = 0; plane <= piece; ++plane) {
            glDisable(static_cast<GLenum>(GL_CLIP_PLANE0 + plane));
        }
    }
}
