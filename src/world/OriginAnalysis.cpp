#include "world/OriginAnalysis.h"

#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"
#include "case/TrajectoryCourse.h"
#include "world/OriginReachTally.h"
#include "world/SceneSurfaces.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<Vec3> HolesBeforeEntry(const Trajectory& trajectory) {
    std::vector<Vec3> holes;
    for (const ExteriorPoint& exterior : trajectory.exterior) {
        if (exterior.beforeEntry) {
            holes.push_back(exterior.point);
        }
    }
    return holes;
}

// How far from IN, horizontally, the back line runs before the surface stops it.
std::optional<double> Farthest(const Vec3& back, const std::optional<BackLineObstacle>& obstacle) {
    if (!obstacle || obstacle->t < 0) {
        return std::nullopt;
    }
    return obstacle->t * std::hypot(back.x, back.z);
}

// Whether the budget's 95 % elevation interval reaches the horizontal.
bool LevelWithin95(const UncertaintyBudget& budget) {
    return budget.elevationInterval[0] <= 0 && budget.elevationInterval[1] >= 0;
}

// The trajectory's budget and how its draws reach the muzzle heights, drawn once.
void DrawReach(const PosedCase& posed, TrajectoryOrigin& origin, const OriginDraws& draws,
               std::optional<double> farthest, const OriginOptions& options) {
    OriginReachTally tally(draws, origin.sceneIn, farthest);
    BudgetRunHooks hooks;
    hooks.eachBlock = [&tally](int first, std::span<const DrawnTrack> tracks) {
        tally.Add(first, tracks);
    };
    hooks.progress = options.progress;
    hooks.cancelled = options.cancelled;
    origin.budget = ComputeUncertaintyBudget(posed, origin.number, options.threads, hooks);
    if (origin.budget) {
        origin.reach = tally.Finish(LevelWithin95(*origin.budget));
    }
}

TrajectoryOrigin AnalyseTrajectory(const PosedCase& posed, const PosedTrajectory& placed,
                                   const SceneSurfaces* surfaces, const OriginDraws* draws,
                                   const OriginOptions& options) {
    const Case& theCase = posed.GetCase();
    const Trajectory& trajectory = *theCase.TrajectoryNumbered(placed.number);
    TrajectoryOrigin origin;
    origin.number = placed.number;
    origin.sceneIn = placed.sceneIn;
    origin.sceneOut = placed.sceneOut;
    for (const ExteriorPoint& exterior : trajectory.exterior) {
        origin.exterior.push_back(DeviationFromTrack(origin.sceneIn, origin.sceneOut, exterior));
    }
    const std::optional<Vec3> back = BackDirection(origin.sceneIn, origin.sceneOut);
    if (!back) {
        return origin;
    }
    origin.hasDirection = true;
    // The cone of the posed track: its length is the one the uncertainty acts on.
    const Vec3 track = Minus(origin.sceneOut, origin.sceneIn);
    origin.halfAngle =
        ComputeUncertainty(std::sqrt(Dot(track, track)), trajectory.radiusIn, 0, 0).coneHalfAngle;
    std::optional<BackLineObstacle> obstacle;
    if (surfaces != nullptr) {
        obstacle = surfaces->FirstAlong(origin.sceneIn, *back, kBackLineReach,
                                        HolesBeforeEntry(trajectory));
    }
    for (const double height : theCase.world.muzzleHeights) {
        origin.zones.push_back(
            ComputeOriginZone(origin.sceneIn, *back, origin.halfAngle, height, obstacle));
    }
    if (draws != nullptr && !origin.zones.empty()) {
        DrawReach(posed, origin, *draws, Farthest(*back, obstacle), options);
    }
    return origin;
}

void Converge(const OriginAnalysis& analysis, GroupConvergence& group) {
    std::vector<BackLine> lines;
    for (const int number : group.trajectories) {
        const TrajectoryOrigin& origin = analysis.trajectories[IndexOfNumber(number)];
        const std::optional<Vec3> back = BackDirection(origin.sceneIn, origin.sceneOut);
        if (!back) {
            group.refusal = "trajectory " + std::to_string(number) +
                            " has no direction: its IN and OUT are the same point";
            return;
        }
        lines.push_back({origin.sceneIn, *back});
    }
    Convergence convergence;
    if (const Status status = ConvergeLines(lines, convergence); !status.ok()) {
        group.refusal = status.message();
        return;
    }
    group.convergence = std::move(convergence);
}

// Adds the trajectory to its shot group, the group made where its name first appears.
void JoinGroup(OriginAnalysis& analysis, const std::string& name, int number) {
    if (name.empty()) {
        return;
    }
    auto group = std::find_if(analysis.groups.begin(), analysis.groups.end(),
                              [&name](const GroupConvergence& g) { return g.group == name; });
    if (group == analysis.groups.end()) {
        analysis.groups.push_back({name, {}, std::nullopt, {}});
        group = analysis.groups.end() - 1;
    }
    group->trajectories.push_back(number);
}

} // namespace

OriginAnalysis AnalyseOrigins(const PosedCase& posed, const SceneSurfaces* surfaces,
                              const OriginOptions& options) {
    const Case& theCase = posed.GetCase();
    OriginAnalysis analysis;
    std::optional<OriginDraws> draws;
    if (options.budgetDraws && !theCase.world.muzzleHeights.empty()) {
        draws.emplace(theCase);
    }
    const std::vector<PosedTrajectory>& tracks = posed.GetTrajectories();
    for (size_t i = 0; i < tracks.size(); ++i) {
        // Each trajectory's budget is its share of the progress.
        OriginOptions own = options;
        if (options.progress) {
            own.progress = [&options, i, &tracks](double share) {
                options.progress((double(i) + share) / double(tracks.size()));
            };
        }
        analysis.trajectories.push_back(
            AnalyseTrajectory(posed, tracks[i], surfaces, draws ? &*draws : nullptr, own));
        JoinGroup(analysis, theCase.TrajectoryNumbered(tracks[i].number)->group, tracks[i].number);
        if (options.cancelled && options.cancelled()) {
            return analysis; // unfinished: the caller, who cancelled, does not use it
        }
    }
    for (GroupConvergence& group : analysis.groups) {
        Converge(analysis, group);
    }
    return analysis;
}
