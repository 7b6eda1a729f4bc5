#include "world/OriginAnalysis.h"

#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
#include "case/TrajectoryCourse.h"
#include "world/SceneSurfaces.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<Vec3> HolesBeforeEntry(const Trajectory& trajectory) {
    std::vector<Vec3> holes;
    for (const ExteriorPoint& exterior : trajectory.GetWorld().exterior) {
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

TrajectoryOrigin AnalyseTrajectory(const Case& theCase, int number, const SceneSurfaces* surfaces,
                                   const OriginDraws* draws, int threads) {
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    TrajectoryOrigin origin;
    origin.number = number;
    origin.track = SceneTrackOf(theCase, number);
    for (const ExteriorPoint& exterior : trajectory.GetWorld().exterior) {
        origin.exterior.push_back(DeviationFromTrack(origin.track.in, origin.track.out, exterior));
    }
    const std::optional<Vec3> back = BackDirection(origin.track.in, origin.track.out);
    if (!back) {
        return origin;
    }
    origin.hasDirection = true;
    // The cone of the posed track: its length is the one the uncertainty acts on.
    const Vec3 track = Minus(origin.track.out, origin.track.in);
    origin.halfAngle =
        ComputeUncertainty(std::sqrt(Dot(track, track)), trajectory.GetUncertainty(), 0, 0)
            .coneHalfAngle;
    std::optional<BackLineObstacle> obstacle;
    if (surfaces != nullptr) {
        obstacle = surfaces->FirstAlong(origin.track.in, *back, kBackLineReach,
                                        HolesBeforeEntry(trajectory));
    }
    for (const double height : theCase.GetWorld().muzzleHeights) {
        origin.zones.push_back(
            ComputeOriginZone(origin.track.in, *back, origin.halfAngle, height, obstacle));
    }
    if (draws != nullptr && !origin.zones.empty()) {
        // The budget's own run is the one carried into the scene, so it is drawn once.
        std::vector<DrawnTrack> drawn;
        origin.budget = ComputeUncertaintyBudget(theCase, number, threads, &drawn);
        origin.reach = draws->Reach(drawn, origin.track.in, Farthest(*back, obstacle));
    }
    return origin;
}

void Converge(const OriginAnalysis& analysis, GroupConvergence& group) {
    std::vector<BackLine> lines;
    for (const int number : group.trajectories) {
        const TrajectoryOrigin& origin = analysis.trajectories[number - 1];
        const std::optional<Vec3> back = BackDirection(origin.track.in, origin.track.out);
        if (!back) {
            group.refusal = "trajectory " + std::to_string(number) +
                            " has no direction: its IN and OUT are the same point";
            return;
        }
        lines.push_back({origin.track.in, *back});
    }
    Convergence convergence;
    if (const Status status = ConvergeLines(lines, convergence); !status.ok()) {
        group.refusal = status.message();
        return;
    }
    group.convergence = std::move(convergence);
}

} // namespace

OriginAnalysis AnalyseOrigins(const Case& theCase, const SceneSurfaces* surfaces,
                              const OriginOptions& options) {
    OriginAnalysis analysis;
    std::optional<OriginDraws> draws;
    if (options.budgetDraws && !theCase.GetWorld().muzzleHeights.empty()) {
        draws.emplace(theCase);
    }
    for (int number = 1; number <= theCase.GetTrajectoryCount(); ++number) {
        analysis.trajectories.push_back(AnalyseTrajectory(
            theCase, number, surfaces, draws ? &*draws : nullptr, options.threads));
        const std::string& name = theCase.GetTrajectory(number - 1)->GetWorld().group;
        if (name.empty()) {
            continue;
        }
        auto group = std::find_if(analysis.groups.begin(), analysis.groups.end(),
                                  [&name](const GroupConvergence& g) { return g.group == name; });
        if (group == analysis.groups.end()) {
            analysis.groups.push_back({name, {}, std::nullopt, {}});
            group = analysis.groups.end() - 1;
        }
        group->trajectories.push_back(number);
    }
    for (GroupConvergence& group : analysis.groups) {
        Converge(analysis, group);
    }
    return analysis;
}
