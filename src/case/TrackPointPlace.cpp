#include "case/TrackPointPlace.h"

#include "case/Trajectory.h"

#include <algorithm>
#include <iterator>

std::size_t TrackPointPlace(const Trajectory& trajectory, const Vec3& point) {
    const Vec3 track = Minus(trajectory.out, trajectory.in);
    const double length = Dot(track, track);
    if (!(length > 0)) {
        return trajectory.points.size();
    }
    const auto along = [&](const Vec3& p) { return Dot(Minus(p, trajectory.in), track); };
    const double at = along(point);
    // The first point beyond it; points as measured may stray from order, and the new one goes
    // before the first that lies farther along than it.
    const auto beyond =
        std::find_if(trajectory.points.begin(), trajectory.points.end(),
                     [&](const TrackPoint& existing) { return along(existing.point) > at; });
    return static_cast<std::size_t>(std::distance(trajectory.points.begin(), beyond));
}

bool InsertTrackPoint(Trajectory& trajectory, const TrackPoint& point) {
    if (trajectory.points.size() >= static_cast<std::size_t>(Trajectory::kMaxTrackPoints)) {
        return false;
    }
    const std::size_t place = TrackPointPlace(trajectory, point.point);
    trajectory.points.insert(trajectory.points.begin() + static_cast<std::ptrdiff_t>(place), point);
    return true;
}
