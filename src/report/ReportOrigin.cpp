#include "report/ReportOrigin.h"

#include "base/NumberText.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"
#include "report/HtmlText.h"
#include "world/OriginText.h"
#include "world/SceneSurfaces.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

std::string Escaped(const std::string& text) {
    return HtmlEscaped(text, LineEnds::AsWritten);
}

std::string Cm(double metres) {
    return FormatFixed(metres * 100, 0, 1);
}

std::string Point(const Vec3& point) {
    return "x " + Cm(point.x) + ", y " + Cm(point.y) + ", z " + Cm(point.z) + " cm";
}

std::string Degrees(double degrees) {
    return FormatFixed(degrees, 0, 1) + "&deg;";
}

const char* const kTableStart =
    "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n";

// The scene model's name, with the SHA-256 of the bytes its reader parsed when it was read.
std::string SceneModelCited(const OriginFacts& origin) {
    std::string cited = Escaped(origin.sceneModel);
    if (!origin.sceneModelSha256.empty()) {
        cited += " (SHA-256 <tt style=\"font-size: 7pt; white-space: nowrap\">" +
                 origin.sceneModelSha256 + "</tt>)";
    }
    return cited;
}

void Conventions(std::ostringstream& out, const OriginFacts& origin) {
    out << "<h2>Origin</h2>\n"
           "<p><b>Scene frame.</b> Right-handed, in centimetres, +Y up, the floor at y = 0. The "
           "body stands at a position p with a heading h: a body point b lies in the scene at "
           "p + R(h)&middot;b, R turning about +Y so that heading 90&deg; turns the body's front "
           "(+Z) toward +X. Here the body stands at "
        << Point({origin.body.x, origin.body.y, origin.body.z}) << ", heading "
        << Degrees(origin.body.heading)
        << ". IN and OUT are those of the body as posed.</p>\n"
           "<p><b>Zones.</b> The back line runs from IN against the direction of travel, u = "
           "(IN &minus; OUT) / |IN &minus; OUT|. At each muzzle height h it reaches going back "
           "(t = (h &minus; IN<sub>y</sub>) / u<sub>y</sub> &ge; 0) the nominal point is IN + "
           "t&middot;u; distances are horizontal, from IN. The interval holds every line of the "
           "uncertainty cone (elevations within its half-angle of u's): from |&Delta;h| / "
           "tan(steepest) to |&Delta;h| / tan(flattest), with no upper bound when the cone "
           "reaches the horizontal. A straight line holds to about 20 m for a handgun bullet and "
           "30 m for a rifle bullet.</p>\n";
    if (!origin.drawsConvention.empty()) {
        out << "<p><b>Draws.</b> " << Escaped(origin.drawsConvention)
            << " An interval is given only where at least " << kFewestReachingDraws
            << " draws reach the height, so that its ends rest on draws beyond them; where "
               "the budget's 95 % elevation interval reaches the horizontal and no surface stops "
               "the back line, the interval has no upper end, as the zone's has none when its "
               "cone reaches the horizontal.</p>\n";
    }
    if (origin.sceneModel.empty()) {
        out << "<p><b>Scene.</b> No scene model: nothing limits the zones.</p>\n";
    } else if (origin.sceneRead) {
        out << "<p><b>Scene.</b> The scene model " << SceneModelCited(origin)
            << " is placed in the scene. The first of its surfaces the back line meets limits "
               "the zones (the shooter cannot stand behind a wall the bullet did not pass). A "
               "hole is a passage: a surface the back line meets within "
            << Cm(SceneSurfaces::kHoleRadius)
            << " cm of an exterior point before IN is the one the hole pierces, and the line "
               "passes it and the same surface's next faces along it (each within "
            << Cm(SceneSurfaces::kPassageGap)
            << " cm of the last, no other surface between: the far face of a door, however "
               "obliquely crossed).</p>\n";
    } else {
        out << "<p><b>Scene.</b> The scene model " << SceneModelCited(origin)
            << " could not be read: its surfaces limit no zone.</p>\n";
    }
}

// The share of the budget's draws that reach the height, and where 95 % of those do.
std::string DrawCell(const HeightReach* reach) {
    if (reach == nullptr) {
        return {};
    }
    std::string cell = "<td>" + Escaped(ReachShareText(reach->share));
    if (reach->distance95) {
        cell += " (" + Cm((*reach->distance95)[0]) + " to " +
                (reach->unbounded ? std::string("unbounded") : Cm((*reach->distance95)[1])) + ")";
    } else if (reach->reaching > 0) {
        cell += " (" + Escaped(TooFewDrawsText(*reach)) + ")";
    }
    return cell + "</td>";
}

std::string ZoneRow(const OriginZone& zone, const HeightReach* reach) {
    std::string row = "<tr><td>" + FormatFixed(zone.height * 100, 0, 0) + " cm</td>";
    if (zone.beforeHole) {
        return row + "<td colspan=\"4\">reached only before the farthest hole (" +
               Cm(zone.holeDistance.value_or(0)) + " cm): no shooter stood there</td>" +
               DrawCell(reach) + "</tr>\n";
    }
    if (!zone.reached && !zone.limitedBy) {
        return row + "<td colspan=\"4\">not reached going back</td>" + DrawCell(reach) + "</tr>\n";
    }
    row += "<td>" + Point(zone.nominalPoint) + "</td><td>" + Cm(zone.nominalDistance) + "</td>";
    row += zone.reached ? "<td>" + Cm(zone.minDistance) + " to " +
                              (zone.maxDistance ? Cm(*zone.maxDistance) : "unbounded") + "</td>"
                        : "<td>none: the zone lies behind the surface</td>";
    row += "<td>" +
           (zone.limitedBy ? Escaped(*zone.limitedBy) + ", " + Cm(zone.limitDistance) + " cm"
                           : std::string("&ndash;")) +
           "</td>" + DrawCell(reach) + "</tr>\n";
    return row;
}

std::string FitPointName(size_t index) {
    return index == 0 ? "IN" : index == 1 ? "OUT" : "exterior point " + std::to_string(index - 1);
}

// How the fitted back line was drawn and how far each point lies from it.
void FitParagraph(std::ostringstream& out, const BackLineFit& fit) {
    out << "<p>The back line is fitted through IN, OUT and the exterior points, each weighted by "
           "1/r<sup>2</sup> of its radius r";
    if (fit.hasHole) {
        out << "; the zones lie only beyond the farthest hole before IN, "
            << Cm(fit.holeReach * std::hypot(fit.back.x, fit.back.z)) << " cm from IN";
    }
    out << ". Distance of each point from it (its radius):";
    for (size_t i = 0; i < fit.misfit.size(); ++i) {
        out << (i == 0 ? " " : ", ") << FitPointName(i) << " " << Cm(fit.misfit[i]) << " cm ("
            << Cm(fit.radius[i]) << " cm)";
    }
    if (fit.onOneLine) {
        out << "; the points lie on one line within " << FormatFixed(kMisfitFactor, 0, 0)
            << " times their radii.</p>\n";
        return;
    }
    out << ".</p>\n<p><b>The points do not lie on one line within their uncertainties:</b>";
    std::string off;
    for (size_t i = 0; i < fit.misfit.size(); ++i) {
        if (fit.misfit[i] > kMisfitFactor * std::max(fit.radius[i], kSmallestFitRadius)) {
            off += (off.empty() ? " " : ", ") + FitPointName(i) + " lies " + Cm(fit.misfit[i]) +
                   " cm off it";
        }
    }
    out << off << " (more than " << FormatFixed(kMisfitFactor, 0, 0) << " times its radius).</p>\n";
}

void TrajectorySection(std::ostringstream& out, const OriginFacts& origin,
                       const TrajectoryOrigin& t) {
    const size_t index = IndexOfNumber(t.number);
    out << "<h3>Origin of trajectory " << t.number;
    if (index < origin.labels.size() && !origin.labels[index].empty()) {
        out << ": " << Escaped(origin.labels[index]);
    }
    out << "</h3>\n<p>In the scene: IN " << Point(t.sceneIn) << ", OUT " << Point(t.sceneOut);
    if (!t.hasDirection) {
        out << ". IN and OUT are the same point: the track has no direction.</p>\n";
        return;
    }
    out << (t.halfAngle ? ". Cone half-angle " + Degrees(*t.halfAngle) + ".</p>\n"
                        : ". The direction is not determined (IN and OUT lie within the "
                          "uncertainty): every elevation is possible.</p>\n");
    if (t.fit) {
        FitParagraph(out, *t.fit);
    }
    out << kTableStart
        << "<tr><th>Muzzle height</th><th>Nominal point</th><th>Distance (cm)</th>"
           "<th>Interval (cm)</th><th>Limited by</th>"
        << (t.reach ? "<th>Draws reaching (95 % of those, cm)</th>" : "") << "</tr>\n";
    for (size_t z = 0; z < t.zones.size(); ++z) {
        const bool drawn = t.reach && z < t.reach->heights.size();
        out << ZoneRow(t.zones[z], drawn ? &t.reach->heights[z] : nullptr);
    }
    out << "</table>\n";
    if (index >= origin.exterior.size()) {
        return;
    }
    const std::vector<ExteriorPoint>& points = origin.exterior[index];
    for (size_t i = 0; i < points.size() && i < t.exterior.size(); ++i) {
        out << "<p>Exterior point " << i + 1 << " (" << Point(points[i].point)
            << (points[i].beforeEntry ? ", before IN" : ", after OUT") << "): ";
        if (const auto& deviation = t.exterior[i]) {
            out << Cm(deviation->distance) << " cm from the track's line (IN to OUT), "
                << FormatFixed(deviation->angle, 0, 2) << "&deg; off it, " << Cm(deviation->reach)
                << " cm from " << (points[i].beforeEntry ? "IN" : "OUT") << ".</p>\n";
        } else {
            out << "the track has no line.</p>\n";
        }
    }
}

std::string GroupResult(const GroupConvergence& group) {
    if (!group.rays) {
        return "<td colspan=\"2\">none: " + Escaped(group.refusal) + "</td>";
    }
    std::string lines;
    for (size_t i = 0; i < group.linesUsed.size() && i < group.trajectories.size(); ++i) {
        lines += (i == 0 ? "" : "; ") + std::to_string(group.trajectories[i]) + " through " +
                 group.linesUsed[i];
    }
    if (!group.convergence) {
        std::string gaps;
        for (const RayGap& gap : group.rays->gaps) {
            gaps += (gaps.empty() ? "" : ", ") + std::to_string(group.trajectories[gap.first]) +
                    "&ndash;" + std::to_string(group.trajectories[gap.second]) + ": " +
                    Cm(gap.distance) + " cm";
        }
        return "<td colspan=\"2\">" + Escaped(group.refusal) +
               ". Closest distances between the rays: " + gaps + ". Lines used: " + lines +
               ".</td>";
    }
    std::string miss, along;
    for (size_t i = 0; i < group.convergence->miss.size(); ++i) {
        miss += (i == 0 ? "" : ", ") + Cm(group.convergence->miss[i]);
        along += (i == 0 ? "" : ", ") + Cm(group.rays->along[i]);
    }
    return "<td>The back lines are consistent with a shooter near " +
           Point(group.convergence->point) + " (" + along +
           " cm behind the entries along the lines). Lines used: " + lines + ".</td><td>" + miss +
           "</td>";
}

void Groups(std::ostringstream& out, const OriginFacts& origin) {
    if (origin.analysis.groups.empty()) {
        return;
    }
    out << "<h3>Shot groups</h3>\n"
        << kTableStart
        << "<tr><th>Group</th><th>Trajectories</th><th>What their back lines say</th>"
           "<th>Miss distances (cm)</th></tr>\n";
    for (const GroupConvergence& group : origin.analysis.groups) {
        std::string numbers;
        for (const int number : group.trajectories) {
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(number);
        }
        out << "<tr><td>" << Escaped(group.group) << "</td><td>" << numbers << "</td>"
            << GroupResult(group) << "</tr>\n";
    }
    out << "</table>\n<p>The point is sought on the back lines' rays, behind each IN against "
           "the direction of travel (beyond the farthest hole of a line that passed one): the "
           "point X nearest to all the rays in the least-squares sense, each ray's miss distance "
           "its distance from X. The rays are consistent with a shooter near X when X lies "
           "beyond the start of every ray, outside the body, and each ray passes within "
        << Cm(kConvergenceMiss)
        << " cm of it (or within its cone's width there, when that is more); otherwise the back "
           "lines do not converge behind the entries, and the closest distances between the rays "
           "are given instead.</p>\n";
}

} // namespace

OriginFacts GatherOrigin(const PosedCase& posed, OriginOptions options) {
    OriginFacts facts;
    const Case& theCase = posed.GetCase();
    const CaseWorld& world = theCase.world;
    facts.sceneModel = world.sceneModelFile;
    if (world.sceneMesh) {
        // The bytes the scene model was read from, not the file as it may be by now.
        facts.sceneModelSha256 = world.sceneMesh->sourceSha256;
    }
    facts.muzzleHeights = world.muzzleHeights;
    facts.body = world.body;
    SceneSurfaces surfaces;
    if (world.sceneMesh) {
        facts.sceneRead = surfaces.Build(*world.sceneMesh, world.scene).ok();
    }
    options.budgetDraws = true;
    facts.analysis = AnalyseOrigins(posed, facts.sceneRead ? &surfaces : nullptr, options);
    if (!world.muzzleHeights.empty()) {
        facts.drawsConvention = OriginDrawsConvention(theCase);
    }
    facts.placementNote = PlacementSpreadNote(theCase);
    for (const Trajectory& trajectory : theCase.trajectories) {
        facts.labels.push_back(trajectory.label);
        facts.exterior.push_back(trajectory.exterior);
    }
    return facts;
}

std::string FormatOriginHtml(const OriginFacts& origin,
                             const std::function<std::string(const std::string&)>& imageSource,
                             const PlanFigure& plan) {
    std::ostringstream out;
    Conventions(out, origin);
    if (origin.analysis.trajectories.empty()) {
        out << "<p>No trajectory.</p>\n";
        return out.str();
    }
    if (const std::string source = imageSource ? imageSource(kPlanViewImage) : std::string();
        !source.empty()) {
        out << "<p align=\"center\"><img src=\"" << source << "\" width=\"" << plan.width
            << "\" alt=\"Plan view\"><br><i>" << Escaped(plan.caption) << "</i></p>\n";
    }
    for (const TrajectoryOrigin& t : origin.analysis.trajectories) {
        TrajectorySection(out, origin, t);
    }
    Groups(out, origin);
    return out.str();
}
