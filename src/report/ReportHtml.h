#pragma once

#include "report/CaseReport.h"

#include <functional>
#include <string>
#include <vector>

// A picture the report shows: the name it is known by and the caption under it.
struct ReportFigure {
    std::string name; // "axes", "view-front", ...
    std::string caption;
    int displayWidth = 0; // pixels on the page
};

// The report as one HTML document that QTextDocument lays out for the PDF and a browser shows as
// it is. `imageSource` gives each figure's src attribute (a data: URL, or a resource name).
std::string FormatReportHtml(const CaseReport& report, const std::vector<ReportFigure>& figures,
                             const std::function<std::string(const std::string&)>& imageSource);

// Number texts as the report prints them (one decimal, a decimal point whatever the locale).
std::string OneDecimal(double value);
// "12.3°", or "not defined" for an empty angle.
std::string DegreesText(const std::optional<double>& degrees);
// The uncertainty in words: cone, direction range and elevation range, or why it is undetermined.
std::string UncertaintyText(const DirectionUncertainty& uncertainty);
