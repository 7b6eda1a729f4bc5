#pragma once

#include "budget/UncertaintyBudget.h"
#include "report/ReportOrigin.h"

#include <optional>
#include <vector>

class PosedCase;
class ProgressSink;

// The long part of a report: each trajectory's uncertainty budget and the origin analysis that
// carries its draws into the scene. It is made before the rest of the report is gathered, so
// that the window can make it on a thread of its own and stop it.
struct ReportDraws {
    OriginFacts origin;
    std::vector<std::optional<UncertaintyBudget>> budgets; // per trajectory, in case order
};

// The draws of the posed case's report; none when `progress` asks to stop them. `progress` is
// told how far they have come (0 to 100, from the calling thread) and asked whether to stop from
// the drawing threads as well: it must answer from any thread.
std::optional<ReportDraws> DrawReport(const PosedCase& posed, ProgressSink* progress = nullptr);
