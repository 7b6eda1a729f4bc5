#include "report/ReportOriginJson.h"

#include "case/EntryNumber.h"

namespace {

using json = nlohmann::ordered_json;

json Cm(const Vec3& point) {
    return json::array({point.x * 100, point.y * 100, point.z * 100});
}

json ZoneJson(const OriginZone& zone) {
    const bool located = zone.reached || zone.limitedBy.has_value();
    return {{"height_cm", zone.height * 100},
            {"reached", zone.reached},
            {"nominal_point_cm", located ? Cm(zone.nominalPoint) : json(nullptr)},
            {"nominal_distance_cm", located ? json(zone.nominalDistance * 100) : json(nullptr)},
            {"distance_cm",
             zone.reached
                 ? json::array({zone.minDistance * 100,
                                zone.maxDistance ? json(*zone.maxDistance * 100) : json(nullptr)})
                 : json(nullptr)},
            {"limited_by", zone.limitedBy ? json(*zone.limitedBy) : json(nullptr)}};
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
             {"angle_from_line_deg", deviation ? json(deviation->angle) : json(nullptr)}});
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
        json miss = json::array();
        if (group.convergence) {
            for (const double distance : group.convergence->miss) {
                miss.push_back(distance * 100);
            }
        }
        groups.push_back(
            {{"group", group.group},
             {"trajectories", group.trajectories},
             {"point_cm", group.convergence ? Cm(group.convergence->point) : json(nullptr)},
             {"miss_cm", group.convergence ? miss : json(nullptr)},
             {"refused", group.convergence ? json(nullptr) : json(group.refusal)}});
    }
    return groups;
}
