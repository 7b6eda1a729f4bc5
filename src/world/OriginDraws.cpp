#include "world/OriginDraws.h"

#include "base/NumberText.h"
#include "base/Radians.h"
#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
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

std::string HeadingSigma(const UncertaintyModel& model) {
    return "sigma " + FormatFixed(model.headingSigma, 0, 2) + " degrees";
}

std::string PlacementSigma(const UncertaintyModel& model) {
    return "sigma " + FormatFixed(model.placementSigma * 100, 0, 2) + " cm";
}

} // namespace

OriginDraws::OriginDraws(const Case& theCase) : heights(theCase.world.muzzleHeights) {
    const UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    const ScenePlacement& body = theCase.world.body;
    const size_t count = static_cast<size_t>(model.DrawCount());
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
Vec3 OriginDraws::Place(int index, const Vec3& point) const {
    const Placed& placed = placements[size_t(index)];
    return {placed.position.x + placed.cosine * point.x + placed.sine * point.z,
            placed.position.y + point.y,
            placed.position.z - placed.sine * point.x + placed.cosine * point.z};
}

std::string OriginDrawsConvention(const Case& theCase) {
    const UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    return "Each of the uncertainty budget's " + std::to_string(model.DrawCount()) +
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
