#pragma once

#include "base/Status.h"
#include "report/CaseReport.h"

#include <string>

// The report for scripts and case-management systems: one JSON object, every number at full
// double precision; the direction and elevation angles are the values the summary rounds. JSON has
// no NaN or infinity (a null would read as "not determined"), so a report holding one is refused,
// naming where it is, for example "trajectories[0].adjustment.yaw".
Status FormatReportJson(const CaseReport& report, std::string& text);
