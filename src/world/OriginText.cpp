#include "world/OriginText.h"

#include "base/NumberText.h"
#include "base/Radians.h"
#include "case/Case.h"
#include "world/OriginAnalysis.h"

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
    if (!zone.reached && !zone.limitedBy) {
        return line + "not reached going back";
    }
    const ScenePlacement& body = theCase.world.body;
    const double fromBody = std::hypot(zone.nominalPoint.x - body.x, zone.nominalPoint.z - body.z);
    line += Column(PointCm(zone.nominalPoint), 26) + Column(Cm(zone.nominalDistance), 10) +
            Column(zone.reached ? IntervalText(zone) : std::string("behind the surface"), 22) +
            Column(Cm(fromBody) + " at " +
                       Degrees(BearingFromBody(theCase, zone.nominalPoint.x, zone.nominalPoint.z)),
                   26) +
            (zone.limitedBy ? *zone.limitedBy + " at " + Cm(zone.limitDistance) : "-");
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

void AppendTrajectory(std::string& out, const Case& theCase, const TrajectoryOrigin& origin) {
    const Trajectory& trajectory = *theCase.TrajectoryNumbered(origin.number);
    out += "\nTrajectory " + std::to_string(origin.number);
    if (!trajectory.label.empty()) {
        out += " (" + trajectory.label + ")";
    }
    out += ": IN " + PointCm(origin.sceneIn) + ", OUT " + PointCm(origin.sceneOut) + " cm";
    if (!origin.hasDirection) {
        out += "\n  no direction: IN and OUT are the same point\n";
        return;
    }
    out += origin.halfAngle
               ? "; cone half-angle " + FormatFixed(*origin.halfAngle, 0, 2) + " degrees\n"
               : "; direction not determined (IN and OUT within the uncertainty)\n";
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
            out += Cm(deviation->distance) + " cm from the line, " +
                   FormatFixed(deviation->angle, 0, 2) + " degrees off it, " +
                   Cm(deviation->reach) + " cm away\n";
        } else {
            out += "the track has no line\n";
        }
    }
}

void AppendGroup(std::string& out, const GroupConvergence& group) {
    out += "\nShot group \"" + group.group + "\", trajectories";
    for (size_t i = 0; i < group.trajectories.size(); ++i) {
        out += (i == 0 ? " " : ", ") + std::to_string(group.trajectories[i]);
    }
    if (!group.convergence) {
        out += ": no point of convergence: " + group.refusal + "\n";
        return;
    }
    out += ": nearest point " + PointCm(group.convergence->point) + " cm; miss";
    for (size_t i = 0; i < group.convergence->miss.size(); ++i) {
        out += (i == 0 ? " " : ", ") + Cm(group.convergence->miss[i]);
    }
    out += " cm\n";
}

bool AnyReach(const OriginAnalysis& analysis) {
    return std::any_of(analysis.trajectories.begin(), analysis.trajectories.end(),
                       [](const TrajectoryOrigin& origin) { return origin.reach.has_value(); });
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
        out += "Scene model: " + world.sceneModelFile + ", placed at " +
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
