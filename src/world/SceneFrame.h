#pragma once

#include "base/Matrix4.h"
#include "case/ScenePlacement.h"

class Case;

// The scene frame: right-handed, metres, +Y up, the floor at y = 0. A thing placed in it at a
// position p and a heading h has its points carried as scene = p + R(h) * point, with R the
// rotation about +Y by h (heading 90 turns +Z toward +X).

Matrix4 PlacementTransform(const ScenePlacement& placement);
Vec3 PlacePoint(const ScenePlacement& placement, const Vec3& point);
Vec3 PlaceDirection(const ScenePlacement& placement, const Vec3& direction);
// The inverse: a scene point in the placed thing's own frame.
Vec3 UnplacePoint(const ScenePlacement& placement, const Vec3& scenePoint);

// A trajectory's posed IN and OUT carried into the scene with the body's placement (metres).
struct SceneTrack {
    Vec3 in;
    Vec3 out;
};
SceneTrack SceneTrackOf(const Case& theCase, int number);
