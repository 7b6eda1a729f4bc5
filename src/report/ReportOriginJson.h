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
nlohmann::ordered_json ConvergenceJson(const OriginFacts& origin);
