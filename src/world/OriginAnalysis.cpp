#include "world/OriginAnalysis.h"

#include "base/NumberText.h"
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

// A point this near the fitted line lies on it.
constexpr double kOnTheLine = 1e-9; // m

// Where the posed track's IN and OUT lie in the scene: the posed points, or for a track with
// points between them, where they lie on the line fitted through all its stops.
struct TrackEnds {
    Vec3 in, out;
};

TrackEnds EndsInScene(const PosedCase& posed, const PosedTrajectory& placed) {
    if (!placed.posedLine) {
        return {placed.sceneIn, placed.sceneOut};
    }
    const TrackLine& line = *placed.posedLine;
    const double along = Dot(Minus(placed.out, line.start), line.direction);
    const Vec3 out = {line.start.x + line.direction.x * along,
                      line.start.y + line.direction.y * along,
                      line.start.z + line.direction.z * along};
    const ScenePlacement& placement = posed.GetCase().world.body;
    return {placement.Place(line.start), placement.Place(out)};
}

// The back line of the trajectory: through IN and OUT, or fitted through them and the exterior
// points, and the cone about it.
void FindBackLine(const Trajectory& trajectory, const TrackEnds& ends, TrajectoryOrigin& origin) {
    if (trajectory.exterior.empty()) {
        const std::optional<Vec3> back = BackDirection(ends.in, ends.out);
        if (!back) {
            return;
        }
        origin.hasDirection = true;
        origin.lineStart = ends.in;
        origin.back = *back;
        // The cone of the posed track: its length is the one the uncertainty acts on.
        const Vec3 track = Minus(ends.out, ends.in);
        origin.halfAngle =
            ComputeUncertainty(std::sqrt(Dot(track, track)), trajectory.radiusIn, 0, 0)
                .coneHalfAngle;
        return;
    }
    origin.fit = FitBackLine(ends.in, trajectory.radiusIn, ends.out, trajectory.RadiusOut(),
                             trajectory.exterior);
    if (!origin.fit) {
        return;
    }
    origin.hasDirection = true;
    // IN itself where it lies on the line to rounding, so that a zone at IN's own height is IN.
    origin.lineStart = origin.fit->misfit[0] < kOnTheLine ? ends.in : origin.fit->start;
    origin.back = origin.fit->back;
    origin.halfAngle = origin.fit->halfAngle;
}

// The farthest hole before IN as a horizontal distance from the line's start.
std::optional<double> HoleDistance(const TrajectoryOrigin& origin) {
    if (!origin.fit || !origin.fit->hasHole) {
        return std::nullopt;
    }
    return origin.fit->holeReach * std::hypot(origin.back.x, origin.back.z);
}

// Whether the budget's 95 % elevation interval reaches the horizontal.
bool LevelWithin95(const UncertaintyBudget& budget) {
    return budget.elevationInterval[0] <= 0 && budget.elevationInterval[1] >= 0;
}

// The trajectory's budget and how its draws reach the muzzle heights, drawn once.
void DrawReach(const PosedCase& posed, const Trajectory& trajectory, TrajectoryOrigin& origin,
               const OriginDraws& draws, std::optional<double> farthest,
               const OriginOptions& options) {
    OriginReachTally tally(draws, trajectory, origin.lineStart, farthest);
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
    const TrackEnds ends = EndsInScene(posed, placed);
    for (const ExteriorPoint& exterior : trajectory.exterior) {
        origin.exterior.push_back(DeviationFromTrack(ends.in, ends.out, exterior));
    }
    FindBackLine(trajectory, ends, origin);
    if (!origin.hasDirection) {
        return origin;
    }
    std::optional<BackLineObstacle> obstacle;
    if (surfaces != nullptr) {
        obstacle = surfaces->FirstAlong(origin.lineStart, origin.back, kBackLineReach,
                                        HolesBeforeEntry(trajectory));
    }
    for (const double height : theCase.world.muzzleHeights) {
        origin.zones.push_back(ComputeOriginZone(origin.lineStart, origin.back, origin.halfAngle,
                                                 height, obstacle, HoleDistance(origin)));
    }
    if (draws != nullptr && !origin.zones.empty()) {
        DrawReach(posed, trajectory, origin, *draws, Farthest(origin.back, obstacle), options);
    }
    return origin;
}

// Whether a scene point lies inside the posed body: the surface is crossed an odd number of
// times going out from it, along at least two of three axes (a body model need not be closed
// everywhere). A case without a body model has no inside.
bool InsideBody(const PosedCase& posed, const Vec3& scenePoint) {
    constexpr int kMostCrossings = 64;
    constexpr double kStepPast = 1e-5; // m
    if (posed.GetBody().GetMesh() == nullptr) {
        return false;
    }
    const Vec3 point = posed.GetCase().world.body.Unplace(scenePoint);
    int inside = 0;
    for (const Vec3& direction : {Vec3{0, 1, 0}, Vec3{1, 0, 0}, Vec3{0, 0, -1}}) {
        int crossings = 0;
        Vec3 from = point;
        while (crossings < kMostCrossings) {
            const std::optional<SurfaceHit> hit =
                posed.GetBody().FirstSurfaceHit({from, direction, kBackLineReach});
            if (!hit) {
                break;
            }
            ++crossings;
            const double step = hit->t + kStepPast;
            from = {from.x + step * direction.x, from.y + step * direction.y,
                    from.z + step * direction.z};
        }
        inside += crossings % 2;
    }
    return inside >= 2;
}

std::string LinesUsed(const Trajectory& trajectory) {
    if (trajectory.exterior.empty()) {
        return "IN and OUT";
    }
    std::string used = "IN, OUT and exterior";
    for (size_t i = 0; i < trajectory.exterior.size(); ++i) {
        used += (i == 0 ? " " : ", ") + std::to_string(i + 1);
    }
    return used;
}

// Why the rays have no point they are consistent with, in a sentence.
std::string NotConverging(const GroupConvergence& group, const RayConvergence& rays,
                          bool insideBody) {
    for (size_t i = 0; i < rays.atStart.size(); ++i) {
        if (rays.atStart[i]) {
            return "the rays come nearest to one another at the start of trajectory " +
                   std::to_string(group.trajectories[i]) +
                   "'s (behind its entry they draw apart; the lines meet, if at all, on the "
                   "side the shots went toward)";
        }
    }
    for (size_t i = 0; i < rays.miss.size(); ++i) {
        if (rays.miss[i] > rays.tolerance[i]) {
            return "trajectory " + std::to_string(group.trajectories[i]) + "'s ray passes " +
                   FormatFixed(rays.miss[i] * 100, 0, 1) + " cm from the rays' nearest point, " +
                   "more than the " + FormatFixed(rays.tolerance[i] * 100, 0, 1) +
                   " cm it may miss by";
        }
    }
    return insideBody ? "the rays' nearest point lies inside the body" : "";
}

void Converge(const PosedCase& posed, const OriginAnalysis& analysis, GroupConvergence& group) {
    std::vector<BackLine> lines;
    std::vector<BackRay> rays;
    for (const int number : group.trajectories) {
        const TrajectoryOrigin& origin = analysis.trajectories[IndexOfNumber(number)];
        group.linesUsed.push_back(LinesUsed(*posed.GetCase().TrajectoryNumbered(number)));
        if (!origin.hasDirection) {
            group.refusal = "trajectory " + std::to_string(number) +
                            " has no direction: its IN and OUT are the same point";
            return;
        }
        lines.push_back({origin.lineStart, origin.back});
        rays.push_back({origin.lineStart, origin.back, origin.fit ? origin.fit->holeReach : 0.0,
                        origin.halfAngle});
    }
    Convergence convergence;
    if (const Status status = ConvergeLines(lines, convergence); !status.ok()) {
        group.refusal = status.message();
        return;
    }
    group.rays = ConvergeRays(rays, convergence.point);
    const bool inside = group.rays->close && InsideBody(posed, group.rays->point);
    if (!group.rays->close || inside) {
        group.refusal = "the back lines do not converge behind the entries: " +
                        NotConverging(group, *group.rays, inside);
        return;
    }
    group.convergence = Convergence{group.rays->point, group.rays->miss};
}

// Adds the trajectory to its shot group, the group made where its name first appears.
void JoinGroup(OriginAnalysis& analysis, const std::string& name, int number) {
    if (name.empty()) {
        return;
    }
    auto group = std::find_if(analysis.groups.begin(), analysis.groups.end(),
                              [&name](const GroupConvergence& g) { return g.group == name; });
    if (group == analysis.groups.end()) {
        GroupConvergence added;
        added.group = name;
        analysis.groups.push_back(std::move(added));
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
        Converge(posed, analysis, group);
    }
    return analysis;
}
