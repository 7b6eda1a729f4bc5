#include "case/ScenePlacement.h"

#include <cmath>
#include <numbers>

namespace {

// R(h) about +Y: (x, z) -> (x cos h + z sin h, -x sin h + z cos h), so +Z goes to +X at 90.
Vec3 Turn(double degrees, const Vec3& v) {
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
}

} // namespace

Vec3 ScenePlacement::Place(const Vec3& point) const {
    const Vec3 turned = Turn(heading, point);
    return {x + turned.x, y + turned.y, z + turned.z};
}

Vec3 ScenePlacement::PlaceDirection(const Vec3& direction) const {
    return Turn(heading, direction);
}

Vec3 ScenePlacement::Unplace(const Vec3& scenePoint) const {
    return Turn(-heading, {scenePoint.x - x, scenePoint.y - y, scenePoint.z - z});
}
