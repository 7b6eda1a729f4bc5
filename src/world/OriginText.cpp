#include "world/OriginText.h"

#include "base/NumberText.h"
#include "base/Radians.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "world/OriginAnalysis.h"
#include "world/SceneSurfaces.h"

#include <algorithm>
#include <cmath>

namespace {

std::string Cm(double metres) {
    return FormatFixed(metres * 100, 0, 1);
}

std::string PointCm(const Vec3& point) {
    return Cm(point.x) + " " + Cm(point.y) + " " + Cm(point.z);
}

std::string Degrees(double degrees) {
    return FormatFixed(degrees, 0, 1);
}

std::string Column(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string PlacementText(const ScenePlacement& placement) {
    return "x " + Cm(placement.x) + ", y " + Cm(placement.y) + ", z " + Cm(placement.z) +
           " cm, heading " + Degrees(placement.heading) + " degrees";
}

std::string HeightText(double metres) {
    std::string text = FormatFixed(metres * 100, 0, 1);
    if (text.ends_with(".0")) {
        text.resize(text.size() - 2);
    }
    return text + " cm";
}

std::string IntervalText(const OriginZone& zone) {
    return Cm(zone.minDistance) + " - " +
           (zone.maxDistance ? Cm(*zone.maxDistance) : std::string("unbounded"));
}

std::string ZoneLine(const Case& theCase, const OriginZone& zone) {
    std::string line = "  " + Column(HeightText(zone.height), 10);
    if (zone.beforeHole) {
        return line + "reached only before the farthest hole (" +
               Cm(zone.holeDistance.value_or(0)) + " cm): no shooter stood there";
    }
    if (!zone.reached && !zone.limitedBy) {
        return line + "not reached going back";
    }
    const ScenePlacement& body = theCase.world.body;
    const double fromBody = std::hypot(zone.nominalPoint.x - body.x, zone.nominalPoint.z - body.z);
    line +=
        Column(PointCm(zone.nominalPoint), 26) + Column(Cm(zone.nominalDistance), 10) +
        Column(zone.reached ? IntervalText(zone) : std::string("behind the surface"), 22) +
        Column(Cm(fromBody) + " at " +
                   Degrees(BearingFromBody(theCase, zone.nominalPoint.x, zone.nominalPoint.z)),
               26) +
        (zone.limitedBy ? PrintableText(*zone.limitedBy) + " at " + Cm(zone.limitDistance) : "-");
    while (line.ends_with(' ')) {
        line.pop_back();
    }
    return line;
}

std::string DrawnDistanceText(const HeightReach& reach) {
    if (reach.distance95) {
        return Cm((*reach.distance95)[0]) + " - " +
               (reach.unbounded ? std::string("unbounded") : Cm((*reach.distance95)[1]));
    }
    return reach.reaching > 0 ? TooFewDrawsText(reach) : std::string("-");
}

// Each height's share of the budget's draws that reach it, and where 95 % of those do.
void AppendReach(std::string& out, const OriginReach& reach) {
    out += "  " + Column("height", 10) + Column("draws reaching", 16) +
           "distance, 95 % of them (cm)\n";
    for (const HeightReach& height : reach.heights) {
        out += "  " + Column(HeightText(height.height), 10) +
               Column(ReachShareText(height.share), 16) + DrawnDistanceText(height) + "\n";
    }
}

std::string PointName(size_t index) {
    return index == 0 ? "IN" : index == 1 ? "OUT" : "exterior " + std::to_string(index - 1);
}

// How the fitted line was drawn, and how far each of its points lies from it.
void AppendFit(std::string& out, const Trajectory& trajectory, const BackLineFit& fit) {
    out += "  back line fitted through IN, OUT and " + std::to_string(trajectory.exterior.size()) +
           " exterior point" + (trajectory.exterior.size() == 1 ? "" : "s") +
           ", each weighted by its radius";
    if (fit.hasHole) {
        out += "; zones only beyond the farthest hole before IN, " +
               Cm(fit.holeReach * std::hypot(fit.back.x, fit.back.z)) + " cm from IN";
    }
    out += "\n  misfit (cm from the line, radius):";
    for (size_t i = 0; i < fit.misfit.size(); ++i) {
        out += (i == 0 ? " " : ", ") + PointName(i) + " " + Cm(fit.misfit[i]) + " (" +
               Cm(fit.radius[i]) + ")";
    }
    out += "\n";
    if (fit.onOneLine) {
        out += "  the points lie on one line within " + FormatFixed(kMisfitFactor, 0, 0) +
               " times their radii\n";
        return;
    }
    out += "  WARNING: the points do not lie on one line within their uncertainties:";
    std::string off;
    for (size_t i = 0; i < fit.misfit.size(); ++i) {
        if (fit.misfit[i] > kMisfitFactor * std::max(fit.radius[i], kSmallestFitRadius)) {
            off += (off.empty() ? " " : ", ") + PointName(i) + " lies " + Cm(fit.misfit[i]) +
                   " cm off it";
        }
    }
    out += off + " (more than " + FormatFixed(kMisfitFactor, 0, 0) + " times its radius)\n";
}

void AppendTrajectory(std::string& out, const Case& theCase, const TrajectoryOrigin& origin) {
    const Trajectory& trajectory = *theCase.TrajectoryNumbered(origin.number);
    out += "\nTrajectory " + std::to_string(origin.number);
    if (!trajectory.label.empty()) {
        // The label on this one line: a line break in it must not pass for a row of the table.
        out += " (" + PrintableText(trajectory.label) + ")";
    }
    out += ": IN " + PointCm(origin.sceneIn) + ", OUT " + PointCm(origin.sceneOut) + " cm";
    if (!origin.hasDirection) {
        out += "\n  no direction: IN and OUT are the same point\n";
        return;
    }
    out += origin.halfAngle
               ? "; cone half-angle " + FormatFixed(*origin.halfAngle, 0, 2) + " degrees\n"
               : "; direction not determined (IN and OUT within the uncertainty)\n";
    if (origin.fit) {
        AppendFit(out, trajectory, *origin.fit);
    }
    out += "  " + Column("height", 10) + Column("nominal point (cm)", 26) + Column("distance", 10) +
           Column("interval (cm)", 22) + Column("from the body (cm, deg)", 26) +
           "limited by (cm)\n";
    for (const OriginZone& zone : origin.zones) {
        out += ZoneLine(theCase, zone) + "\n";
    }
    if (origin.reach) {
        AppendReach(out, *origin.reach);
    }
    const std::vector<ExteriorPoint>& points = trajectory.exterior;
    for (size_t i = 0; i < origin.exterior.size() && i < points.size(); ++i) {
        out += "  exterior " + std::to_string(i + 1) + " at " + PointCm(points[i].point) +
               (points[i].beforeEntry ? " cm, before IN: " : " cm, after OUT: ");
        if (const auto& deviation = origin.exterior[i]) {
            out += Cm(deviation->distance) +
                   (origin.fit ? " cm from the IN-OUT line, " : " cm from the line, ") +
                   FormatFixed(deviation->angle, 0, 2) + " degrees off it, " +
                   Cm(deviation->reach) + " cm away\n";
        } else {
            out += "the track has no line\n";
        }
    }
}

std::string NumberList(const std::vector<int>& numbers) {
    std::string list;
    for (size_t i = 0; i < numbers.size(); ++i) {
        list += (i == 0 ? " " : ", ") + std::to_string(numbers[i]);
    }
    return list;
}

// The closest distance between each two rays of the group.
std::string GapsText(const GroupConvergence& group) {
    std::string text;
    for (const RayGap& gap : group.rays->gaps) {
        text += (text.empty() ? "" : ", ") + std::to_string(group.trajectories[gap.first]) + "-" +
                std::to_string(group.trajectories[gap.second]) + " " + Cm(gap.distance) + " cm";
    }
    return text;
}

std::string LinesText(const GroupConvergence& group) {
    std::string text;
    for (size_t i = 0; i < group.linesUsed.size() && i < group.trajectories.size(); ++i) {
        text += (i == 0 ? "" : "; ") + std::to_string(group.trajectories[i]) + " through " +
                group.linesUsed[i];
    }
    return text;
}

void AppendGroup(std::string& out, const GroupConvergence& group) {
    out += "\nShot group \"" + PrintableText(group.group) + "\", trajectories" +
           NumberList(group.trajectories);
    if (!group.rays) {
        out += ": no point of convergence: " + PrintableText(group.refusal) + "\n";
        return;
    }
    if (!group.convergence) {
        out += ": " + group.refusal + "; closest distances between the rays: " + GapsText(group) +
               "\n  lines used: " + LinesText(group) + "\n";
        return;
    }
    out += ": the back lines are consistent with a shooter near " +
           PointCm(group.convergence->point) + " cm; miss";
    for (size_t i = 0; i < group.convergence->miss.size(); ++i) {
        out += (i == 0 ? " " : ", ") + Cm(group.convergence->miss[i]);
    }
    out += " cm; behind the entries";
    for (size_t i = 0; i < group.rays->along.size(); ++i) {
        out += (i == 0 ? " " : ", ") + Cm(group.rays->along[i]);
    }
    out += " cm along the lines\n  lines used: " + LinesText(group) + "\n";
}

bool AnyReach(const OriginAnalysis& analysis) {
    return std::any_of(analysis.trajectories.begin(), analysis.trajectories.end(),
                       [](const TrajectoryOrigin& origin) { return origin.reach.has_value(); });
}

bool AnyFit(const OriginAnalysis& analysis) {
    return std::any_of(analysis.trajectories.begin(), analysis.trajectories.end(),
                       [](const TrajectoryOrigin& origin) { return origin.fit.has_value(); });
}

std::string FitText() {
    return "A trajectory with exterior points has its back line fitted through IN, OUT and those "
           "points, each weighted by 1/r^2 of its radius r; a point more than " +
           FormatFixed(kMisfitFactor, 0, 0) +
           " times its radius from that line does not fit it. A surface the line meets within " +
           Cm(SceneSurfaces::kHoleRadius) +
           " cm of a hole before IN, and the same surface's next faces, are the hole's passage "
           "and do not stop it.\n";
}

std::string GroupsText() {
    return "A shot group's point is sought on the back lines' rays behind the entries (beyond "
           "each line's farthest hole) and outside the body: each ray may miss it by " +
           Cm(kConvergenceMiss) + " cm, or by its cone's width there when that is more.\n";
}

std::string DrawsText(const Case& theCase) {
    const UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    return "Draws: the uncertainty budget's " + std::to_string(model.DrawCount()) +
           ", each with the body's heading (sigma " + FormatFixed(model.headingSigma, 0, 2) +
           " degrees) and position (sigma " + FormatFixed(model.placementSigma * 100, 0, 2) +
           " cm on each axis) drawn about the case's; the distances are from the nominal IN, and "
           "a draw that reaches a height only beyond the first surface the back line meets does "
           "not count.\n";
}

} // namespace

std::string TooFewDrawsText(const HeightReach& reach) {
    return "too few draws for an interval (" + std::to_string(reach.reaching) + " of " +
           std::to_string(kFewestReachingDraws) + " needed)";
}

std::string ReachShareText(double share) {
    if (share >= 1) {
        return "100 %";
    }
    if (share <= 0) {
        return "0 %";
    }
    const double percent = share * 100;
    if (percent < 0.05) {
        return "< 0.1 %";
    }
    if (percent >= 99.95) {
        return "> 99.9 %";
    }
    return FormatFixed(percent, 0, 1) + " %";
}

double BearingFromBody(const Case& theCase, double sceneX, double sceneZ) {
    const ScenePlacement& body = theCase.world.body;
    const Vec3 local = body.Unplace({sceneX, body.y, sceneZ});
    // 0 toward -Z, 90 toward +X, as the trajectories' direction angle.
    double bearing = RadiansToDegrees(std::atan2(local.x, -local.z));
    if (bearing < 0) {
        bearing += 360;
    }
    return bearing >= 359.95 || bearing == 0 ? 0.0 : bearing;
}

std::string FormatOriginTable(const Case& theCase, const OriginAnalysis& analysis) {
    const CaseWorld& world = theCase.world;
    std::string out = "Origin zones, scene frame (cm; +Y up, the floor at y = 0)\n";
    out += "Body placed at " + PlacementText(world.body) + "\n";
    if (world.sceneModelFile.empty()) {
        out += "Scene model: none\n";
    } else {
        out += "Scene model: " + PrintableText(world.sceneModelFile) + ", placed at " +
               PlacementText(world.scene) +
               (world.sceneMesh ? "\n" : " (not read: its surfaces limit no zone)\n");
    }
    out += "Muzzle heights:";
    for (const double height : world.muzzleHeights) {
        out += " " + HeightText(height);
    }
    out += "\nDistances are horizontal, from IN; the interval holds the uncertainty cone's "
           "lines; the bearing from the body is 0 toward its back, 90 toward its left, 180 "
           "toward its front.\n";
    if (AnyFit(analysis)) {
        out += FitText();
    }
    if (!analysis.groups.empty()) {
        out += GroupsText();
    }
    if (AnyReach(analysis)) {
        out += DrawsText(theCase);
    }
    if (analysis.trajectories.empty()) {
        out += "\nNo trajectory.\n";
    }
    for (const TrajectoryOrigin& origin : analysis.trajectories) {
        AppendTrajectory(out, theCase, origin);
    }
    for (const GroupConvergence& group : analysis.groups) {
        AppendGroup(out, group);
    }
    return out;
}
