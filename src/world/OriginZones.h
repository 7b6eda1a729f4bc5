#pragma once

#include "base/Matrix4.h"

#include <optional>
#include <string>
#include <vector>

// Where, at one muzzle height, the shot may have come from. The back line starts at IN and runs
// against the direction of travel, u = (IN - OUT) / |IN - OUT| (scene frame, metres).
struct OriginZone {
    double height = 0;          // of the muzzle above the floor, m
    bool reached = false;       // the back line reaches the height (t = (h - IN_y) / u_y >= 0)
    Vec3 nominalPoint;          // IN + t u, when reached
    double nominalDistance = 0; // horizontal, from IN, m
    // The horizontal distances from IN at which the lines of the uncertainty cone (directions
    // whose elevation lies within the half-angle of u's) reach the height; no upper bound when
    // the cone's elevations reach the horizontal.
    double minDistance = 0;
    std::optional<double> maxDistance;
    // The first surface of the scene the back line meets, which the shooter cannot be behind,
    // where it cuts the zone short: its name, and its horizontal distance from IN, which
    // becomes maxDistance. The nominal point may then lie behind it.
    std::optional<std::string> limitedBy;
    double limitDistance = 0;
    // The farthest hole the bullet made before IN, as a horizontal distance from IN: the shooter
    // stood beyond it, so the zone is searched only there. `beforeHole`: the back line reaches
    // the height only between that hole and the body, so no shooter stood at it.
    std::optional<double> holeDistance;
    bool beforeHole = false;
};

// The surface a back line first meets, as the scene model gives it.
struct BackLineObstacle {
    std::string surface;
    double t = 0; // along the back line from IN, m
};

// The zone at `height` of the back line from `in` along the unit vector `back`, with the cone's
// half-angle `halfAngle` in degrees (empty: the direction is not determined, every elevation is
// possible). An obstacle nearer than the zone's far end caps it; one nearer than the cone's
// nearest reach leaves it unreached. With `holeDistance` (the farthest hole before IN, horizontal
// from IN) the zone starts no nearer than the hole, and a height the back line reaches before it
// is not reached.
OriginZone ComputeOriginZone(const Vec3& in, const Vec3& back, std::optional<double> halfAngle,
                             double height,
                             const std::optional<BackLineObstacle>& obstacle = std::nullopt,
                             std::optional<double> holeDistance = std::nullopt);

// How far along the back line from `in` (the unit vector `back`) it meets the plane at `height`
// going back: t >= 0 (0 when IN lies at that height), or none when the line is level or runs
// away from the height.
std::optional<double> BackLineReach(const Vec3& in, const Vec3& back, double height);

// The back direction of a track (unit); empty when IN and OUT coincide.
std::optional<Vec3> BackDirection(const Vec3& in, const Vec3& out);
