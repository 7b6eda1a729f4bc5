#include "report/ReportDraws.h"

#include "base/ProgressSink.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"

#include <cmath>

namespace {

// The origin analysis draws every trajectory's budget where the case has muzzle heights, and
// the report draws them itself otherwise: either way each trajectory is one share of the work.
void Tell(ProgressSink* progress, double share) {
    if (progress != nullptr) {
        progress->SetProgress(static_cast<int>(std::floor(100 * share)));
    }
}

} // namespace

std::optional<ReportDraws> DrawReport(const PosedCase& posed, ProgressSink* progress) {
    OriginOptions options;
    options.budgetDraws = true;
    if (progress != nullptr) {
        options.progress = [progress](double share) { Tell(progress, share); };
        options.cancelled = [progress] { return progress->CancelRequested(); };
    }
    ReportDraws drawn;
    drawn.origin = GatherOrigin(posed, options);
    const std::vector<PosedTrajectory>& tracks = posed.GetTrajectories();
    const std::vector<TrajectoryOrigin>& origins = drawn.origin.analysis.trajectories;
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (options.cancelled && options.cancelled()) {
            return std::nullopt;
        }
        const size_t index = IndexOfNumber(tracks[i].number);
        if (index < origins.size() && origins[index].budget) {
            drawn.budgets.push_back(origins[index].budget);
            continue;
        }
        BudgetRunHooks hooks;
        if (progress != nullptr) {
            hooks.progress = [progress, i, &tracks](double share) {
                Tell(progress, (double(i) + share) / double(tracks.size()));
            };
        }
        hooks.cancelled = options.cancelled;
        drawn.budgets.push_back(ComputeUncertaintyBudget(posed, tracks[i].number, 0, hooks));
    }
    if (options.cancelled && options.cancelled()) {
        return std::nullopt;
    }
    Tell(progress, 1);
    return drawn;
}
