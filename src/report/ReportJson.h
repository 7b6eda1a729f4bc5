#pragma once

#include "base/Status.h"
#include "report/CaseReport.h"

#include <string>

// The report for scripts and case-management systems: one JSON object, every number at full
// double precision; the direction and elevation angles are the values the summary rounds. JSON has
// no NaN or infinity (a null would read as "not determined"), so a report holding one is refused,
// naming where it is, for example "trajectories[0].adjustment.yaw". A case whose body is posed or
// placed in the scene says more, after the keys every report has: per trajectory "anatomical" and
// "posed" (each {"direction_deg", "elevation_deg", "direction_95_deg", "elevation_95_deg"}, the
// intervals null without a budget), "in_diagram" and "out_diagram" ("front" or "back"; OUT's
// null when the bullet stayed inside), and at the top level "landmarks" ({"name",
// "anatomical_cm", "posed_cm"}, body frame).
Status FormatReportJson(const CaseReport& report, std::string& text);
