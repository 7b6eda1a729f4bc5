#include "world/ExteriorPointFit.h"

#include "base/Radians.h"

#include "world/OriginZones.h"

#include <cmath>

std::optional<ExteriorDeviation> DeviationFromTrack(const Vec3& in, const Vec3& out,
                                                    const ExteriorPoint& exterior) {
    const std::optional<Vec3> back = BackDirection(in, out);
    if (!back) {
        return std::nullopt;
    }
    // Outward from the end on the point's side: back from IN, forward from OUT.
    const Vec3 end = exterior.beforeEntry ? in : out;
    const Vec3 outward = exterior.beforeEntry ? *back : Vec3{-back->x, -back->y, -back->z};
    const Vec3 toPoint = Minus(exterior.point, end);
    const Vec3 across = Cross(toPoint, outward);
    ExteriorDeviation deviation;
    deviation.distance = std::sqrt(Dot(across, across));
    deviation.reach = std::sqrt(Dot(toPoint, toPoint));
    deviation.angle = RadiansToDegrees(std::atan2(deviation.distance, Dot(toPoint, outward)));
    return deviation;
}
