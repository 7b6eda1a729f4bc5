#include "world/SceneFrame.h"

#include "case/Case.h"
#include "case/PosedTrack.h"

#include <cmath>
#include <numbers>

namespace {

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// R(h) about +Y: (x, z) -> (x cos h + z sin h, -x sin h + z cos h), so +Z goes to +X at 90.
Vec3 Turn(double degrees, const Vec3& v) {
    const double c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
}

} // namespace

Matrix4 PlacementTransform(const ScenePlacement& placement) {
    return placement.ToScene();
}

Vec3 PlaceDirection(const ScenePlacement& placement, const Vec3& direction) {
    return Turn(placement.heading, direction);
}

Vec3 PlacePoint(const ScenePlacement& placement, const Vec3& point) {
    const Vec3 turned = Turn(placement.heading, point);
    return {placement.x + turned.x, placement.y + turned.y, placement.z + turned.z};
}

Vec3 UnplacePoint(const ScenePlacement& placement, const Vec3& scenePoint) {
    return Turn(-placement.heading, {scenePoint.x - placement.x, scenePoint.y - placement.y,
                                     scenePoint.z - placement.z});
}

SceneTrack SceneTrackOf(const Case& theCase, int number) {
    const PosedTrack posed = PoseTrajectoryPoints(theCase, number);
    const ScenePlacement& body = theCase.GetWorld().body;
    return {PlacePoint(body, posed.in), PlacePoint(body, posed.out)};
}
