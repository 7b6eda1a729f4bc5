#pragma once

#include "report/CaseReport.h"
#include "report/ReportBlock.h"

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

// The report as the blocks a page never splits, in the report's order: the findings (page 1 with
// the case information, the body diagrams and the wound table; one page per trajectory with its
// close-up), the signature block that closes them, then the appendices (the conventions and the
// body, the origin, the views and the elements). A new section is one more step of this order
// (ReportComposer in ReportHtml.cpp).
std::vector<ReportBlock>
FormatReportBlocks(const CaseReport& report, const std::vector<ReportFigure>& figures,
                   const std::function<std::string(const std::string&)>& imageSource);
// The HTML document's head, up to and with its <body>.
std::string ReportHtmlHead(const CaseReport& report);
// One row of the wound table: number, label, IN and OUT located on the body (OUT "retained at"
// where a bullet stayed in the body), the course, the
// direction and elevation angles with the 95 % intervals of the uncertainty budget; for a
// `posed` body the angles of the anatomical position and as posed, each labelled and with its
// own interval.
std::string WoundRow(const TrajectoryFacts& trajectory, bool posed);
// The name of trajectory `number`'s close-up figure ("closeup-3").
std::string CloseUpFigureName(int number);

// Number texts as the report prints them (one decimal, a decimal point whatever the locale).
std::string OneDecimal(double value);
// "12.3°", or "not defined" for an empty angle.
std::string DegreesText(const std::optional<double>& degrees);
// The uncertainty in words: cone, direction range and elevation range, or why it is undetermined.
std::string UncertaintyText(const DirectionUncertainty& uncertainty);
