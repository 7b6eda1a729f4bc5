#include "report/TrackPointFacts.h"

#include "base/NumberText.h"
#include "base/WeightedLineFit.h"
#include "case/TrackLine.h"
#include "case/Trajectory.h"

#include <cmath>

namespace {

constexpr double kCentimetresPerMetre = 100.0;

// A distance in centimetres with one decimal, never "-0.0"; whether it rounds to nothing.
std::string Tenths(double metres) {
    return FormatFixed(std::round(std::fabs(metres) * 1000.0) / 10.0, 0, 1) + " cm";
}

bool RoundsToNothing(double metres) {
    return std::round(std::fabs(metres) * 1000.0) == 0;
}

std::string FromPlane(double metres, const char* on, const char* plus, const char* minus) {
    if (RoundsToNothing(metres)) {
        return on;
    }
    return Tenths(metres) + (metres > 0 ? plus : minus);
}

std::vector<TrackPieceFacts> PieceFacts(const TrackLine& line) {
    std::vector<TrackPieceFacts> pieces;
    for (const TrackPiece& piece : line.pieces) {
        pieces.push_back(
            {piece.first, piece.last, piece.part, piece.angles.direction, piece.angles.elevation});
    }
    return pieces;
}

} // namespace

std::string DescribeFromBodyPlanes(double x, double y, double z) {
    return FromPlane(x, "on the midline", " left of the midline", " right of the midline") + ", " +
           FromPlane(y, "level with the soles", " above the soles", " below the soles") + ", " +
           FromPlane(z, "at the back", " in front of the back", " behind the back");
}

TrackPointsFacts GatherTrackPoints(const Trajectory& trajectory,
                                   const std::optional<TrackLine>& line) {
    TrackPointsFacts facts;
    const std::vector<TrackStop> stops = StopsOfTrajectory(trajectory);
    // The line holds one misfit per stop (IN, the points, OUT) when it was fitted through these.
    const bool fitted = line && line->misfit.size() == stops.size();
    for (std::size_t i = 0; i < trajectory.points.size(); ++i) {
        const TrackStop& stop = stops[i + 1];
        TrackPointFacts point;
        point.cm = {stop.point.x * kCentimetresPerMetre, stop.point.y * kCentimetresPerMetre,
                    stop.point.z * kCentimetresPerMetre};
        point.radiusCm = stop.radius * kCentimetresPerMetre;
        point.part = stop.part;
        point.description = DescribeFromBodyPlanes(stop.point.x, stop.point.y, stop.point.z);
        if (fitted) {
            point.misfitCm = line->misfit[i + 1] * kCentimetresPerMetre;
            point.offLine = LiesOffLine(line->misfit[i + 1], stop.radius);
        }
        facts.points.push_back(std::move(point));
    }
    facts.inRadiusCm = stops.front().radius * kCentimetresPerMetre;
    facts.outRadiusCm = stops.back().radius * kCentimetresPerMetre;
    if (!fitted) {
        return facts;
    }
    facts.fitted = true;
    facts.inMisfitCm = line->misfit.front() * kCentimetresPerMetre;
    facts.outMisfitCm = line->misfit.back() * kCentimetresPerMetre;
    facts.inOffLine = LiesOffLine(line->misfit.front(), stops.front().radius);
    facts.outOffLine = LiesOffLine(line->misfit.back(), stops.back().radius);
    facts.onOneLine = line->onOneLine;
    facts.pieces = PieceFacts(*line);
    facts.deflection = line->deflection;
    return facts;
}
