#pragma once

#include "report/ReportOrigin.h"

#include <nlohmann/json.hpp>

// The JSON of the origin zones. Per trajectory: "scene_in_cm", "scene_out_cm" and "origin", a
// list of {"height_cm", "reached", "nominal_point_cm", "nominal_distance_cm", "distance_cm"
// [min, max or null], "limited_by"}; at the top level "convergence", a list of {"group",
// "trajectories", "point_cm", "miss_cm", "refused"}; and per trajectory "exterior", a list of
// {"point_cm", "side", "distance_from_line_cm", "angle_from_line_deg"}. A value not determined is
// null.
void AddOriginJson(nlohmann::ordered_json& trajectory, const OriginFacts& origin, int number);
// Into the trajectory's "uncertainty_budget" (when it has one): "origin", a list of one
// {"height_cm", "reach_share", "distance_95_cm" [low, high] or null} per muzzle height, the share
// of the budget's draws whose back line reaches the height (0 to 1) and the central 95 % of their
// horizontal distances there from the nominal IN.
void AddBudgetOriginJson(nlohmann::ordered_json& trajectory, const OriginFacts& origin, int number);
nlohmann::ordered_json ConvergenceJson(const OriginFacts& origin);
