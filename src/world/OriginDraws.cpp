#include "world/OriginDraws.h"

#include "base/NumberText.h"
#include "base/Radians.h"
#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
#include "world/BackLineFit.h"
#include "world/OriginZones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace {

// The placements' own seed, apart from the budget's, so that they never repeat its numbers.
constexpr uint64_t kPlacementSeed = 0x5256504C41434544u;

// Normal numbers by Box and Muller's transform, both of each pair used, from 53-bit uniforms: the
// same sequence from every standard library.
class NormalNumbers {
public:
    double Next() {
        if (hasSpare) {
            hasSpare = false;
            return spare;
        }
        const double u = 1.0 - Uniform(), v = Uniform();
        const double radius = std::sqrt(-2.0 * std::log(u));
        spare = radius * std::sin(2 * std::numbers::pi * v);
        hasSpare = true;
        return radius * std::cos(2 * std::numbers::pi * v);
    }

private:
    double Uniform() { return static_cast<double>(random() >> 11) * (1.0 / 9007199254740992.0); }

    std::mt19937_64 random{kPlacementSeed};
    double spare = 0;
    bool hasSpare = false;
};

// The exterior points' own seed, apart from the placements' and the budget's.
constexpr uint64_t kExteriorSeed = 0x5256455854455252u;

// The horizontal distance from `from` at which the back line from `in` along `back` reaches
// `height`; none when it does not, only nearer than `notBefore` along it (a hole the bullet
// passed lies farther), or only farther than `farthest`.
std::optional<double> DistanceAt(const Vec3& in, const Vec3& back, double height, const Vec3& from,
                                 std::optional<double> farthest, double notBefore = 0) {
    const std::optional<double> t = BackLineReach(in, back, height);
    if (!t || *t < notBefore) {
        return std::nullopt;
    }
    const double dx = in.x + *t * back.x - from.x, dz = in.z + *t * back.z - from.z;
    const double distance = std::sqrt(dx * dx + dz * dz);
    // A line all but level meets the height farther than a number can say: it does not reach it.
    if (!std::isfinite(distance) || (farthest && distance > *farthest)) {
        return std::nullopt;
    }
    return distance;
}

// The q-quantile of `values` (reordered) by the nearest rank, as the budget takes its own.
double Quantile(std::vector<double>& values, double q) {
    const size_t rank =
        std::min(values.size() - 1,
                 static_cast<size_t>(std::ceil(q * double(values.size()))) - (q > 0 ? 1 : 0));
    std::nth_element(values.begin(), values.begin() + static_cast<long>(rank), values.end());
    return values[rank];
}

std::optional<std::array<double, 2>> Central95(std::vector<double>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    return std::array<double, 2>{Quantile(values, 0.025), Quantile(values, 0.975)};
}

std::string HeadingSigma(const UncertaintyModel& model) {
    return "sigma " + FormatFixed(model.headingSigma, 0, 2) + " degrees";
}

std::string PlacementSigma(const UncertaintyModel& model) {
    return "sigma " + FormatFixed(model.placementSigma * 100, 0, 2) + " cm";
}

} // namespace

// Each draw's exterior points, uniform in their balls, drawn in turn from their own seed.
class OriginDraws::ExteriorDraws {
public:
    explicit ExteriorDraws(const Trajectory& theTrajectory) : trajectory(theTrajectory) {}

    // The line of a draw whose placed IN and OUT are `in` and `out`; none when it has none.
    std::optional<DrawnLine> Line(const Vec3& in, const Vec3& out) {
        std::vector<ExteriorPoint> drawn = trajectory.exterior;
        for (ExteriorPoint& mark : drawn) {
            const Vec3 shift = InBall(mark.radius);
            mark.point = {mark.point.x + shift.x, mark.point.y + shift.y, mark.point.z + shift.z};
        }
        const std::optional<BackLineFit> fit =
            FitBackLine(in, trajectory.radiusIn, out, trajectory.RadiusOut(), drawn);
        if (!fit) {
            return std::nullopt;
        }
        return DrawnLine{fit->start, fit->back, fit->holeReach};
    }

private:
    double Uniform() { return static_cast<double>(random() >> 11) * (1.0 / 9007199254740992.0); }
    Vec3 InBall(double radius) {
        if (!(radius > 0)) {
            return {};
        }
        while (true) {
            const Vec3 p{2 * Uniform() - 1, 2 * Uniform() - 1, 2 * Uniform() - 1};
            if (Dot(p, p) <= 1) {
                return {p.x * radius, p.y * radius, p.z * radius};
            }
        }
    }

    const Trajectory& trajectory;
    std::mt19937_64 random{kExteriorSeed};
};

OriginDraws::OriginDraws(const Case& theCase) : heights(theCase.world.muzzleHeights) {
    const UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    const ScenePlacement& body = theCase.world.body;
    const size_t count = static_cast<size_t>(std::max(model.draws, 0));
    const auto placed = [&body](double heading, double dx, double dy, double dz) {
        return Placed{std::cos(DegreesToRadians(heading)),
                      std::sin(DegreesToRadians(heading)),
                      {body.x + dx, body.y + dy, body.z + dz}};
    };
    if (model.headingSigma == 0 && model.placementSigma == 0) {
        placements.assign(count, placed(body.heading, 0, 0, 0));
        return;
    }
    placements.reserve(count);
    NormalNumbers normal;
    for (size_t i = 0; i < count; ++i) {
        // Four numbers a draw whichever sigma is zero, so that each spread draws the same.
        const double heading = normal.Next(), dx = normal.Next(), dy = normal.Next(),
                     dz = normal.Next();
        const double s = model.placementSigma;
        placements.push_back(
            placed(body.heading + model.headingSigma * heading, s * dx, s * dy, s * dz));
    }
}

// As ScenePlacement::Place: turned about +Y by the heading, then moved.
Vec3 OriginDraws::Place(const Placed& placed, const Vec3& point) {
    return {placed.position.x + placed.cosine * point.x + placed.sine * point.z,
            placed.position.y + point.y,
            placed.position.z - placed.sine * point.x + placed.cosine * point.z};
}

std::optional<OriginReach> OriginDraws::Reach(const std::vector<DrawnTrack>& drawn,
                                              const Vec3& nominalIn, std::optional<double> farthest,
                                              const Trajectory* trajectory) const {
    const size_t count = std::min(drawn.size(), placements.size());
    if (count == 0) {
        return std::nullopt;
    }
    std::optional<ExteriorDraws> exterior;
    if (trajectory != nullptr && !trajectory->exterior.empty()) {
        exterior.emplace(*trajectory);
    }
    std::vector<std::vector<double>> distances(heights.size()); // of the reaching draws
    for (size_t i = 0; i < count; ++i) {
        const Vec3 in = Place(placements[i], drawn[i].in);
        const Vec3 out = Place(placements[i], drawn[i].out);
        std::optional<DrawnLine> line;
        if (exterior) {
            line = exterior->Line(in, out);
        } else if (const std::optional<Vec3> back = BackDirection(in, out)) {
            line = DrawnLine{in, *back, 0};
        }
        if (!line) {
            continue; // a draw whose points fell together has no line
        }
        for (size_t h = 0; h < heights.size(); ++h) {
            if (const auto distance = DistanceAt(line->start, line->back, heights[h], nominalIn,
                                                 farthest, line->from)) {
                distances[h].push_back(*distance);
            }
        }
    }
    OriginReach reach;
    reach.draws = static_cast<int>(count);
    for (size_t h = 0; h < heights.size(); ++h) {
        const double share = double(distances[h].size()) / double(count);
        reach.heights.push_back({heights[h], share, Central95(distances[h])});
    }
    return reach;
}

std::string OriginDrawsConvention(const Case& theCase) {
    const UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    return "Each of the uncertainty budget's " + std::to_string(model.draws) +
           " draws also places the body in the scene: its heading is the case's plus a normal "
           "spread (" +
           HeadingSigma(model) + "), its position the case's plus a normal spread on each axis (" +
           PlacementSigma(model) +
           "), drawn from a fixed seed and the same for every trajectory; the draw's posed IN and "
           "OUT so placed give its back line. For each muzzle height the share of the draws whose "
           "back line reaches it going back is given, and the central 95 % (2.5 % to 97.5 %) of "
           "their horizontal distances there from the nominal IN. A draw that reaches the height "
           "only beyond the first surface the nominal back line meets does not count; the draws' "
           "own lines are not searched against the scene.";
}

std::string PlacementSpreadNote(const Case& theCase) {
    const UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    const std::string spread = "The body's heading in the scene (" + HeadingSigma(model) +
                               ") and its position (" + PlacementSigma(model) + " on each axis)";
    if (theCase.world.muzzleHeights.empty()) {
        return spread + " move no figure: the case has no muzzle height.";
    }
    return spread + " move only the draws of the origin zones, not these angles, which are "
                    "measured in the body frame.";
}
