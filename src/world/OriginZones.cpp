#include "world/OriginZones.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
// A cone whose flattest line lies this little above the horizontal reaches it within rounding:
// a track rising by exactly its balls' width has an elevation equal to its half-angle, which the
// arc sines give a few 1e-15 degrees apart, and a far end of 1e16 m.
constexpr double kLevelWithinRounding = 1e-9; // degrees

double Length(const Vec3& v) {
    return std::sqrt(Dot(v, v));
}

// The horizontal distance at which a line of elevation `degrees` (toward the height) climbs or
// falls `rise`; 0 for a vertical line.
double ReachAt(double rise, double degrees) {
    if (degrees >= 90.0) {
        return 0.0;
    }
    return rise / std::tan(degrees / kDegrees);
}

// The shooter stood beyond the farthest hole: a zone that starts nearer starts there, and a height
// the nominal line reaches nearer than the hole is not reached.
void StartBeyondHole(OriginZone& zone, std::optional<double> holeDistance) {
    zone.holeDistance = holeDistance;
    if (!holeDistance || !zone.reached) {
        return;
    }
    if (zone.nominalDistance < *holeDistance) {
        zone.beforeHole = true;
        zone.reached = false;
        return;
    }
    zone.minDistance = std::max(zone.minDistance, *holeDistance);
}

} // namespace

std::optional<Vec3> BackDirection(const Vec3& in, const Vec3& out) {
    const Vec3 back = Minus(in, out);
    const double length = Length(back);
    if (!(length > 0) || !std::isfinite(length)) {
        return std::nullopt;
    }
    return Vec3{back.x / length, back.y / length, back.z / length};
}

std::optional<double> BackLineReach(const Vec3& in, const Vec3& back, double height) {
    const double rise = height - in.y;
    if (rise == 0) {
        return 0.0;
    }
    if (back.y == 0 || (rise > 0) != (back.y > 0)) {
        return std::nullopt;
    }
    return rise / back.y;
}

OriginZone ComputeOriginZone(const Vec3& in, const Vec3& back, std::optional<double> halfAngle,
                             double height, const std::optional<BackLineObstacle>& obstacle,
                             std::optional<double> holeDistance) {
    OriginZone zone;
    zone.height = height;
    const double rise = height - in.y;
    // Elevations toward the height, as magnitudes: the cone holds [e - a, e + a] about u's.
    const double elevation = std::asin(std::clamp(std::fabs(back.y), 0.0, 1.0)) * kDegrees;
    const double alpha = halfAngle.value_or(90.0);
    const double steepest = std::min(90.0, elevation + alpha);
    const double flattest = elevation - alpha;
    if (rise == 0) {
        // The muzzle at IN's own height: the zone starts at IN, and where the cone reaches the
        // horizontal a line within it stays near the height as far as it runs.
        zone.reached = true;
        zone.nominalPoint = in;
        if (flattest > kLevelWithinRounding) {
            zone.maxDistance = 0.0;
        }
    } else {
        const std::optional<double> reach = BackLineReach(in, back, height);
        if (!reach) {
            return zone; // level, or going back away from the height: never reaches it
        }
        const double t = *reach;
        zone.reached = true;
        zone.nominalPoint = {in.x + t * back.x, height, in.z + t * back.z};
        zone.nominalDistance = t * std::hypot(back.x, back.z);
        const double climb = std::fabs(rise);
        zone.minDistance = ReachAt(climb, steepest);
        if (flattest > kLevelWithinRounding) {
            zone.maxDistance = ReachAt(climb, flattest);
        }
    }
    StartBeyondHole(zone, holeDistance);
    if (zone.beforeHole) {
        return zone;
    }
    // The shooter stood before the surface: it caps the zone wherever it cuts it.
    if (obstacle && obstacle->t >= 0) {
        const double limit = obstacle->t * std::hypot(back.x, back.z);
        if (!zone.maxDistance || limit < *zone.maxDistance) {
            zone.limitedBy = obstacle->surface;
            zone.limitDistance = limit;
            zone.maxDistance = limit;
            zone.reached = limit >= zone.minDistance; // else the whole zone lies behind it
        }
    }
    return zone;
}
