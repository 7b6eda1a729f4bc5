#pragma once

#include "base/Status.h"
#include "report/CaseReport.h"

#include <optional>
#include <string>

class PosedCase;
class ViewState;
struct ArrowModels;

enum class ReportFormat { Pdf, Html, Json };

// The format a report file name asks for by its extension (.pdf, .html or .htm, .json; any case of
// letters); nothing for any other name.
std::optional<ReportFormat> ReportFormatForPath(const std::string& path);

// The longer side of each view picture, in pixels.
inline constexpr int kReportViewWidth = 1000;
inline constexpr int kReportViewHeight = 750;

// Builds the report of the posed case in the given format. The PDF and HTML carry the body
// diagrams, the axes figure, the front, profile and top views and each trajectory's close-up,
// the views drawn offscreen with `arrows` and the display switches of `view`; a failure to draw
// them fails the report. Needs a QGuiApplication for the PDF and HTML.
Status BuildCaseReport(const PosedCase& posed, const ArrowModels& arrows, const ViewState& view,
                       ReportFormat format, const ReportSource& source, std::string& bytes);

// Builds the report in the format its file name asks for and writes it there, replacing any
// previous file only once the whole report is on disk.
Status WriteCaseReport(const PosedCase& posed, const ArrowModels& arrows, const ViewState& view,
                       const std::string& path, const ReportSource& source);
