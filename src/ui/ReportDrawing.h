#pragma once

#include "report/ReportDraws.h"

#include <optional>

class PosedCase;
class QWidget;

// The object name of the progress dialog below, for whoever looks for it.
inline constexpr const char* kReportDrawingDialogName = "reportDrawingProgress";

// Draws the uncertainty budgets and origin zones of a report of `posed` (DrawReport) on a thread
// of their own, while a progress dialog, modal so that the case cannot change meanwhile, shows
// how far they have come; the window keeps painting and answering. Its Cancel (or Esc) stops
// the draws within a block of them: none is then returned, and nothing has changed.
std::optional<ReportDraws> DrawReportWithProgress(const PosedCase& posed, QWidget* owner);
