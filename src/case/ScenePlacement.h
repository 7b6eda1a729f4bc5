#pragma once

#include "base/Matrix4.h"

// Where a thing stands in the scene: its origin at (x, y, z) in the scene frame (metres, +Y up,
// the floor at y = 0) and turned about +Y by `heading` degrees, so that a heading of 90 turns the
// thing's +Z toward the scene's +X. A point of the thing is carried into the scene as
// scene = position + R(heading) * point. The default puts the thing's frame on the scene frame.
struct ScenePlacement {
    double x = 0, y = 0, z = 0;
    double heading = 0; // degrees

    bool operator==(const ScenePlacement&) const = default;
    bool IsIdentity() const { return x == 0 && y == 0 && z == 0 && heading == 0; }

    // The placed thing's own frame into the scene frame, and back.
    Matrix4 ToScene() const {
        return Matrix4::Translation(x, y, z) * Matrix4::Rotation(heading, 0, 1, 0);
    }
    Matrix4 FromScene() const {
        return Matrix4::Rotation(-heading, 0, 1, 0) * Matrix4::Translation(-x, -y, -z);
    }

    // A point or a direction of the thing in the scene frame, and a scene point in the thing's
    // own frame.
    Vec3 Place(const Vec3& point) const;
    Vec3 PlaceDirection(const Vec3& direction) const;
    Vec3 Unplace(const Vec3& scenePoint) const;
};
