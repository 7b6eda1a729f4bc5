#pragma once

#include "base/Matrix4.h"
#include "budget/TrackSampler.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

struct Case;
struct Trajectory;

// A muzzle height's draws give an interval only when at least this many reach it: the 2.5 % and
// 97.5 % quantiles then each rest on at least one draw beyond them.
inline constexpr int kFewestReachingDraws = 40;

// How one muzzle height is reached by the uncertainty budget's draws carried into the scene.
struct HeightReach {
    double height = 0; // of the muzzle above the floor, m
    double share = 0;  // of the draws whose back line reaches the height, 0 to 1
    int reaching = 0;  // how many draws reach it
    // The central 95 % (2.5 % to 97.5 %) of the reaching draws' horizontal distances at the
    // height from the nominal IN in the scene, m; none when fewer than kFewestReachingDraws
    // reach it.
    std::optional<std::array<double, 2>> distance95;
    // The interval has no upper end: the draws' elevations reach the horizontal, so a draw may
    // reach the height at any distance (distance95's high end is then not stated).
    bool unbounded = false;
};

struct OriginReach {
    int draws = 0;
    std::vector<HeightReach> heights; // one per muzzle height, in the case's order
};

// The budget's draws of a trajectory placed in the scene. Each draw takes the posed IN and OUT
// the budget draws (body frame) and places them with a body of its own: the case's heading plus
// a normal spread of the model's heading sigma, and the case's position plus a normal spread of
// its placement sigma on each axis. The placements come from a fixed seed, one draw after the
// other, and are the same for every trajectory (the body stood in one place for every shot), so
// that the figures depend neither on the number of threads nor on the other trajectories.
//
// A draw reaches a height as the nominal back line does, its own line fitted through the draw's
// points (DrawnBackLine): OriginReachTally follows each draw's back line to the heights.
class OriginDraws {
public:
    // The placements of the model's number of draws.
    explicit OriginDraws(const Case& theCase);

    int Count() const { return static_cast<int>(placements.size()); }
    const std::vector<double>& Heights() const { return heights; }
    // Draw `index`'s body point `point` placed in the scene (index < Count()).
    Vec3 Place(int index, const Vec3& point) const;

private:
    struct Placed {
        double cosine = 1, sine = 0; // of the heading
        Vec3 position;
    };

    std::vector<Placed> placements;
    std::vector<double> heights;
};

// How the draws are placed and counted, in sentences for the conventions of a report.
std::string OriginDrawsConvention(const Case& theCase);
// What the body's heading and placement sigmas move, in one sentence for the conventions of the
// uncertainty budget (whose angles are measured in the body frame).
std::string PlacementSpreadNote(const Case& theCase);
