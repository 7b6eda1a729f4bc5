#include "world/DrawnBackLine.h"

#include "base/Xoshiro256.h"
#include "case/Trajectory.h"
#include "world/BackLineFit.h"
#include "world/OriginZones.h"

#include <cstdint>
#include <vector>

namespace {

// The exterior points' own seed, apart from the placements' and the budget's.
constexpr uint64_t kExteriorSeed = 0x5256455854455252u;

double Uniform(Xoshiro256& random) {
    return static_cast<double>(random() >> 11) * (1.0 / 9007199254740992.0);
}

// A point uniform in the ball of `radius` about the origin, by rejection from its cube.
Vec3 InBall(Xoshiro256& random, double radius) {
    if (!(radius > 0)) {
        return {};
    }
    while (true) {
        const Vec3 p{2 * Uniform(random) - 1, 2 * Uniform(random) - 1, 2 * Uniform(random) - 1};
        if (Dot(p, p) <= 1) {
            return {p.x * radius, p.y * radius, p.z * radius};
        }
    }
}

} // namespace

std::optional<DrawnLine> DrawnBackLine(const Trajectory& trajectory, int index, const Vec3& in,
                                       const Vec3& out) {
    if (trajectory.exterior.empty()) {
        const std::optional<Vec3> back = BackDirection(in, out);
        if (!back) {
            return std::nullopt;
        }
        return DrawnLine{in, *back, 0};
    }
    Xoshiro256 random(kExteriorSeed ^ (0x9E3779B97F4A7C15u * static_cast<uint64_t>(index + 1)));
    std::vector<ExteriorPoint> drawn = trajectory.exterior;
    for (ExteriorPoint& mark : drawn) {
        const Vec3 shift = InBall(random, mark.radius);
        mark.point = {mark.point.x + shift.x, mark.point.y + shift.y, mark.point.z + shift.z};
    }
    const std::optional<BackLineFit> fit =
        FitBackLine(in, trajectory.radiusIn, out, trajectory.RadiusOut(), drawn);
    if (!fit) {
        return std::nullopt;
    }
    return DrawnLine{fit->start, fit->back, fit->holeReach};
}
