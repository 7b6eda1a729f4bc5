#pragma once

#include "base/Matrix4.h"
#include "budget/TrackSampler.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

struct Case;
struct Trajectory;

// How one muzzle height is reached by the uncertainty budget's draws carried into the scene.
struct HeightReach {
    double height = 0; // of the muzzle above the floor, m
    double share = 0;  // of the draws whose back line reaches the height, 0 to 1
    // The central 95 % (2.5 % to 97.5 %) of the reaching draws' horizontal distances at the
    // height from the nominal IN in the scene, m; none when no draw reaches it.
    std::optional<std::array<double, 2>> distance95;
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
// A draw reaches a height as the nominal back line does (going back from its own IN, see
// BackLineReach), and counts only where it reaches it no farther from the nominal IN than
// `farthest` (the surface the nominal back line meets first): its shooter would otherwise stand
// behind that surface. Each draw's own line is not searched against the scene.
//
// A trajectory with exterior points draws them too, each uniform in its own ball (their own fixed
// seed, one draw after the other), and each draw's line is fitted through its IN, OUT and those
// points as the nominal one is (FitBackLine); it counts only beyond its own farthest hole.
class OriginDraws {
public:
    // The placements of the model's number of draws.
    explicit OriginDraws(const Case& theCase);

    int Count() const { return static_cast<int>(placements.size()); }

    // The reach at each of the case's muzzle heights of a trajectory's budget draws `drawn`
    // (DrawPosedTracks, or the budget's whole run), from `nominalIn` (scene frame, m); none when
    // there are no draws (its IN and OUT coincide). `trajectory` gives the exterior points and
    // the radii their fit weighs by; without one, or without exterior points, each draw's line
    // runs through its IN and OUT.
    std::optional<OriginReach> Reach(const std::vector<DrawnTrack>& drawn, const Vec3& nominalIn,
                                     std::optional<double> farthest,
                                     const Trajectory* trajectory = nullptr) const;

private:
    struct Placed {
        double cosine = 1, sine = 0; // of the heading
        Vec3 position;
    };
    static Vec3 Place(const Placed& placed, const Vec3& point);
    // The draw's back line: its start and unit direction, and how far along it the shooter
    // stands at the nearest (beyond its farthest hole).
    struct DrawnLine {
        Vec3 start, back;
        double from = 0;
    };
    class ExteriorDraws;

    std::vector<Placed> placements;
    std::vector<double> heights;
};

// How the draws are placed and counted, in sentences for the conventions of a report.
std::string OriginDrawsConvention(const Case& theCase);
// What the body's heading and placement sigmas move, in one sentence for the conventions of the
// uncertainty budget (whose angles are measured in the body frame).
std::string PlacementSpreadNote(const Case& theCase);
