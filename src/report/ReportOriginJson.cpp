#include "report/ReportOriginJson.h"

#include "case/EntryNumber.h"

#include <cmath>

namespace {

using json = nlohmann::ordered_json;

json Cm(const Vec3& point) {
    return json::array({point.x * 100, point.y * 100, point.z * 100});
}

json ZoneJson(const OriginZone& zone) {
    const bool located = zone.reached || zone.limitedBy.has_value();
    json result = {
        {"height_cm", zone.height * 100},
        {"reached", zone.reached},
        {"nominal_point_cm", located ? Cm(zone.nominalPoint) : json(nullptr)},
        {"nominal_distance_cm", located ? json(zone.nominalDistance * 100) : json(nullptr)},
        {"distance_cm", zone.reached ? json::array({zone.minDistance * 100,
                                                    zone.maxDistance ? json(*zone.maxDistance * 100)
                                                                     : json(nullptr)})
                                     : json(nullptr)},
        {"limited_by", zone.limitedBy ? json(*zone.limitedBy) : json(nullptr)}};
    if (zone.holeDistance) {
        // Only a line that passed a hole: the zone is searched beyond it.
        result["farthest_hole_cm"] = *zone.holeDistance * 100;
        result["before_farthest_hole"] = zone.beforeHole;
    }
    return result;
}

// The fitted back line: each point's distance from it and its radius, and whether they lie on
// one line.
json FitJson(const BackLineFit& fit) {
    json points = json::array();
    for (size_t i = 0; i < fit.misfit.size(); ++i) {
        points.push_back({{"point", i == 0   ? "IN"
                                    : i == 1 ? "OUT"
                                             : "exterior " + std::to_string(i - 1)},
                          {"misfit_cm", fit.misfit[i] * 100},
                          {"radius_cm", fit.radius[i] * 100}});
    }
    return {{"start_cm", Cm(fit.start)},
            {"back_direction", json::array({fit.back.x, fit.back.y, fit.back.z})},
            {"farthest_hole_cm",
             fit.hasHole ? json(fit.holeReach * std::hypot(fit.back.x, fit.back.z) * 100)
                         : json(nullptr)},
            {"on_one_line", fit.onOneLine},
            {"misfit_factor", kMisfitFactor},
            {"points", points}};
}

json ReachJson(const HeightReach& reach) {
    return {{"height_cm", reach.height * 100},
            {"reach_share", reach.share},
            {"distance_95_cm",
             reach.distance95 ? json::array({(*reach.distance95)[0] * 100,
                                             reach.unbounded ? json(nullptr)
                                                             : json((*reach.distance95)[1] * 100)})
                              : json(nullptr)}};
}

} // namespace

void AddOriginJson(json& trajectory, const OriginFacts& origin, int number) {
    const std::vector<TrajectoryOrigin>& all = origin.analysis.trajectories;
    if (number < 1 || static_cast<size_t>(number) > all.size()) {
        return;
    }
    const TrajectoryOrigin& found = all[IndexOfNumber(number)];
    trajectory["scene_in_cm"] = Cm(found.sceneIn);
    trajectory["scene_out_cm"] = Cm(found.sceneOut);
    json zones = json::array();
    for (const OriginZone& zone : found.zones) {
        zones.push_back(ZoneJson(zone));
    }
    trajectory["origin"] = zones;
    if (found.fit) {
        trajectory["back_line"] = FitJson(*found.fit);
    }
    json exterior = json::array();
    const size_t index = IndexOfNumber(number);
    for (size_t i = 0; index < origin.exterior.size() && i < origin.exterior[index].size() &&
                       i < found.exterior.size();
         ++i) {
        const ExteriorPoint& point = origin.exterior[index][i];
        const std::optional<ExteriorDeviation>& deviation = found.exterior[i];
        exterior.push_back(
            {{"point_cm", Cm(point.point)},
             {"side", point.beforeEntry ? "before" : "after"},
             {"distance_from_line_cm", deviation ? json(deviation->distance * 100) : json(nullptr)},
             {"angle_from_line_deg", deviation ? json(deviation->angle) : json(nullptr)},
             {"radius_cm", point.radius * 100}});
    }
    trajectory["exterior"] = exterior;
}

void AddBudgetOriginJson(json& trajectory, const OriginFacts& origin, int number) {
    const std::vector<TrajectoryOrigin>& all = origin.analysis.trajectories;
    json& budget = trajectory["uncertainty_budget"];
    if (!budget.is_object() || number < 1 || static_cast<size_t>(number) > all.size()) {
        return;
    }
    json heights = json::array();
    if (const std::optional<OriginReach>& reach = all[IndexOfNumber(number)].reach) {
        for (const HeightReach& height : reach->heights) {
            heights.push_back(ReachJson(height));
        }
    }
    budget["origin"] = heights;
}

json ConvergenceJson(const OriginFacts& origin) {
    json groups = json::array();
    for (const GroupConvergence& group : origin.analysis.groups) {
        json miss = json::array(), along = json::array(), gaps = json::array();
        if (group.convergence) {
            for (const double distance : group.convergence->miss) {
                miss.push_back(distance * 100);
            }
        }
        if (group.rays) {
            for (const double distance : group.rays->along) {
                along.push_back(distance * 100);
            }
            for (const RayGap& gap : group.rays->gaps) {
                gaps.push_back({{"trajectories",
                                 {group.trajectories[gap.first], group.trajectories[gap.second]}},
                                {"distance_cm", gap.distance * 100}});
            }
        }
        groups.push_back(
            {{"group", group.group},
             {"trajectories", group.trajectories},
             {"point_cm", group.convergence ? Cm(group.convergence->point) : json(nullptr)},
             {"miss_cm", group.convergence ? miss : json(nullptr)},
             {"refused", group.convergence ? json(nullptr) : json(group.refusal)},
             {"converges", group.convergence.has_value()},
             {"behind_entries_cm", group.convergence ? along : json(nullptr)},
             {"ray_gaps", group.rays ? gaps : json(nullptr)},
             {"lines_used", group.linesUsed}});
    }
    return groups;
}
