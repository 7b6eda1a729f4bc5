#include "case/TrackLine.h"

#include "base/Radians.h"
#include "base/WeightedLineFit.h"
#include "case/Trajectory.h"

#include <algorithm>
#include <cmath>

namespace {

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

// Runs of stops on one part, as [first, last] index pairs; a stop without a part stays in the
// run it follows.
std::vector<std::pair<std::size_t, std::size_t>> RunsOfParts(const std::vector<TrackStop>& stops) {
    std::vector<std::pair<std::size_t, std::size_t>> runs{{0, 0}};
    std::string part = stops[0].part;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (!stops[i].part.empty() && !part.empty() && stops[i].part != part) {
            runs.push_back({i, i});
        } else {
            runs.back().second = i;
        }
        if (!stops[i].part.empty()) {
            part = stops[i].part;
        }
    }
    return runs;
}

// A run of a single stop gives no direction: it joins the run after it, or the last one the run
// before it.
void JoinLoneStops(std::vector<std::pair<std::size_t, std::size_t>>& runs) {
    for (std::size_t k = 0; k < runs.size() && runs.size() > 1;) {
        if (runs[k].first != runs[k].second) {
            ++k;
        } else if (k + 1 < runs.size()) {
            runs[k + 1].first = runs[k].first;
            runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(k));
        } else {
            runs[k - 1].second = runs[k].second;
            runs.pop_back();
        }
    }
}

// The part most of the stops first..last lie on (the earliest of equals).
std::string MainPart(const std::vector<TrackStop>& stops, std::size_t first, std::size_t last) {
    std::string best;
    std::ptrdiff_t bestCount = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const auto count =
            std::count_if(stops.begin() + static_cast<std::ptrdiff_t>(first),
                          stops.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                          [&](const TrackStop& s) { return s.part == stops[i].part; });
        if (!stops[i].part.empty() && count > bestCount) {
            best = stops[i].part;
            bestCount = count;
        }
    }
    return best;
}

// The weighted line through stops first..last, turned from the first toward the last.
std::optional<TrackPiece> FitPiece(const std::vector<TrackStop>& stops, std::size_t first,
                                   std::size_t last) {
    std::vector<WeightedPoint> points;
    for (std::size_t i = first; i <= last; ++i) {
        points.push_back({stops[i].point, stops[i].radius});
    }
    const std::optional<WeightedLine> line = FitWeightedLine(points);
    if (!line) {
        return std::nullopt;
    }
    const double along = Dot(Minus(stops[last].point, stops[first].point), line->axis);
    if (along == 0) {
        return std::nullopt;
    }
    TrackPiece piece;
    piece.first = first;
    piece.last = last;
    piece.part = MainPart(stops, first, last);
    piece.direction = along > 0 ? line->axis : Scaled(line->axis, -1);
    const double toFirst = Dot(Minus(stops[first].point, line->centre), piece.direction);
    piece.start = Plus(line->centre, Scaled(piece.direction, toFirst));
    piece.angles = AnglesOfTrack(piece.start, Plus(piece.start, piece.direction));
    return piece;
}

// The pieces at the parts, each with its own line; the whole track as one piece when a piece's
// stops coincide.
std::vector<TrackPiece> PiecesOf(const std::vector<TrackStop>& stops, const TrackPiece& whole) {
    auto runs = RunsOfParts(stops);
    JoinLoneStops(runs);
    std::vector<TrackPiece> pieces;
    for (const auto& [first, last] : runs) {
        const std::optional<TrackPiece> piece = FitPiece(stops, first, last);
        if (!piece) {
            return {whole};
        }
        pieces.push_back(*piece);
    }
    return pieces;
}

} // namespace

std::vector<TrackStop> StopsOfTrajectory(const Trajectory& trajectory) {
    std::vector<TrackStop> stops{{trajectory.in, trajectory.radiusIn, trajectory.inPart}};
    for (const TrackPoint& p : trajectory.points) {
        stops.push_back({p.point, p.radius, p.part.empty() ? stops.back().part : p.part});
    }
    stops.push_back({trajectory.out, trajectory.RadiusOut(), trajectory.outPart});
    return stops;
}

std::optional<TrackLine> FitTrackLine(const std::vector<TrackStop>& stops) {
    if (stops.size() < 2) {
        return std::nullopt;
    }
    const std::optional<TrackPiece> whole = FitPiece(stops, 0, stops.size() - 1);
    if (!whole) {
        return std::nullopt;
    }
    TrackLine line;
    line.start = whole->start;
    line.direction = whole->direction;
    line.angles = whole->angles;
    for (const TrackStop& stop : stops) {
        const double distance = DistanceFromLine(stop.point, line.start, line.direction);
        line.misfit.push_back(distance);
        line.radius.push_back(stop.radius);
        line.onOneLine = line.onOneLine && !LiesOffLine(distance, stop.radius);
    }
    line.pieces = PiecesOf(stops, *whole);
    for (std::size_t k = 0; k + 1 < line.pieces.size(); ++k) {
        line.deflection.push_back(
            AngleBetween(line.pieces[k].direction, line.pieces[k + 1].direction));
    }
    return line;
}

std::pair<Vec3, Vec3> StraightTrackEnds(const Trajectory& trajectory) {
    if (trajectory.points.empty()) {
        return {trajectory.in, trajectory.out};
    }
    std::vector<WeightedPoint> points;
    for (const TrackStop& stop : StopsOfTrajectory(trajectory)) {
        points.push_back({stop.point, stop.radius});
    }
    return EndsOnFittedLine(points).value_or(std::pair{trajectory.in, trajectory.out});
}

double AngleBetween(const Vec3& a, const Vec3& b) {
    // The arc tangent keeps its precision for nearly parallel directions, where the arc cosine
    // of their dot product loses it.
    const Vec3 across = Cross(a, b);
    return RadiansToDegrees(std::atan2(std::sqrt(Dot(across, across)), Dot(a, b)));
}
