#pragma once

#include "budget/UncertaintyBudget.h"
#include "world/BackLineFit.h"
#include "world/ExteriorPointFit.h"
#include "world/OriginDraws.h"
#include "world/OriginZones.h"
#include "world/RayConvergence.h"
#include "world/ShotConvergence.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class PosedCase;
class SceneSurfaces;

// Where each trajectory's shot came from, in the scene frame: the posed track placed in the
// scene, the zone at each of the case's muzzle heights, how far each exterior point lies from
// the track's line; and, for each shot group, the point its back lines converge on.
struct TrajectoryOrigin {
    int number = 0; // the user's number, from 1
    // The posed IN and OUT placed in the scene, as the posed case holds them (scene frame, m).
    Vec3 sceneIn, sceneOut;
    // The back line, from `lineStart` along the unit `back`: without exterior points the line
    // from IN away from OUT (lineStart is IN); with them the line fitted through IN, OUT and
    // every exterior point (`fit`), from its point nearest IN. For a track with points between
    // IN and OUT, IN and OUT are where they lie on the line fitted through all its stops.
    Vec3 lineStart, back;
    std::optional<BackLineFit> fit;
    bool hasDirection = false;       // the back line has a direction
    std::optional<double> halfAngle; // of the uncertainty cone, degrees
    std::vector<OriginZone> zones;   // one per muzzle height, in the case's order
    std::vector<std::optional<ExteriorDeviation>> exterior; // one per exterior point
    // How the uncertainty budget's draws reach each muzzle height: only when asked for, the
    // case has muzzle heights and the track a direction.
    std::optional<OriginReach> reach;
    // The trajectory's uncertainty budget, made with the draws of its reach (so, only then).
    std::optional<UncertaintyBudget> budget;
};

// A shot group's back lines taken as rays behind the entries (beyond each line's farthest hole),
// and the point outside the body they are consistent with: where they come within their
// tolerance of one point behind every entry. Parallel lines, or a line with no direction, are
// refused before the rays are sought.
struct GroupConvergence {
    std::string group;
    std::vector<int> trajectories;          // the user's numbers, in case order
    std::optional<Convergence> convergence; // the point and each line's miss; empty when none
    std::string refusal;                    // why there is none
    std::optional<RayConvergence> rays;     // where the rays come closest, once sought
    // What each trajectory's line was drawn through: "IN and OUT", "IN, OUT and exterior 1, 2".
    std::vector<std::string> linesUsed;
};

struct OriginAnalysis {
    std::vector<TrajectoryOrigin> trajectories;
    std::vector<GroupConvergence> groups; // in the order each group first appears
};

// What the analysis computes beyond the zones.
struct OriginOptions {
    // Each trajectory's reach among the uncertainty budget's draws (as many as the budget
    // makes: a report's work, not a frame's).
    bool budgetDraws = false;
    int threads = 0; // for drawing the budget's tracks; 0: as many as the machine has
    // How far the budgets' draws have come (0 to 1, from the calling thread), and what stops
    // them (asked from the drawing threads); an analysis cancelled midway is unfinished.
    std::function<void(double share)> progress{};
    std::function<bool()> cancelled{};
};

// The zones of every trajectory of the posed case, from its posed points placed in the scene.
// With `surfaces` (the scene model built for searching), the first surface each back line meets
// limits its zones.
OriginAnalysis AnalyseOrigins(const PosedCase& posed, const SceneSurfaces* surfaces = nullptr,
                              const OriginOptions& options = {});

// The back line searches no farther than this for a surface (straight lines hold to about
// 30 m for a rifle bullet; a scan of a street is far smaller than this).
inline constexpr double kBackLineReach = 1000.0; // m
