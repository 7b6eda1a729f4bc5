#pragma once

#include "report/CaseReport.h"

#include <string>

// The report for scripts and case-management systems: one JSON object, every number at full
// double precision; the direction and elevation angles are the values the summary rounds.
std::string FormatReportJson(const CaseReport& report);
