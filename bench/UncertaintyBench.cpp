// The uncertainty budget's speed: draws per second with every source on (the points' balls, the
// soft tissue and the spread of every joint, each draw posing both points), and the budget of a
// whole case of 20 trajectories at the default 100,000 draws, as a report computes it.
#include "budget/UncertaintyBudget.h"
#include "case/Case.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<Case> CaseWithSpreads(int trajectories) {
    auto theCase = std::make_unique<Case>();
    if (!theCase->GetBody().Load(RUVO_SOURCE_DIR "/data/default/man1.obj").ok()) {
        return nullptr;
    }
    UncertaintyModel& model = theCase->GetBody().GetUncertaintyModel();
    (void)model.SetSigma("pose", 5);
    (void)model.SetSigma("tissue", 0.01);
    Posture posture = *Posture::Preset("arms raised");
    theCase->GetBody().SetPosture(posture);
    for (int n = 0; n < trajectories; ++n) {
        Trajectory& t = *theCase->AddTrajectory(1);
        if (n % 2 == 0) {
            t.SetPoints(-0.27, 0.95 - 0.01 * n, 0.13, -0.21, 0.95, 0.10);
            t.SetParts("right_forearm", "right_forearm");
        } else {
            t.SetPoints(0.05, 1.40 - 0.01 * n, 0.26, 0.05, 1.38, 0.03);
            t.SetParts("trunk", "trunk");
        }
    }
    return theCase;
}

// Draws per second of one budget on `threads` cores (0: all of them): the whole run and each
// source alone.
void DrawBudgets(benchmark::State& state, int threads) {
    std::unique_ptr<Case> theCase = CaseWithSpreads(1);
    if (!theCase) {
        state.SkipWithError("the default body did not load");
        return;
    }
    int64_t draws = 0;
    for (auto _ : state) {
        const auto budget = ComputeUncertaintyBudget(*theCase, 1, threads);
        draws += budget->draws +
                 static_cast<int64_t>(budget->sources.size()) * SourceRankingDraws(budget->draws);
    }
    state.SetItemsProcessed(draws);
}

void BudgetDraws(benchmark::State& state) {
    DrawBudgets(state, 0);
}
BENCHMARK(BudgetDraws)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on one core, timed by that core's own clock: the cost of a draw, whatever else the
// machine is doing.
void BudgetDrawsOnOneCore(benchmark::State& state) {
    DrawBudgets(state, 1);
}
BENCHMARK(BudgetDrawsOnOneCore)->Unit(benchmark::kMillisecond);

void BudgetOfTwentyTrajectories(benchmark::State& state) {
    std::unique_ptr<Case> theCase = CaseWithSpreads(20);
    if (!theCase) {
        state.SkipWithError("the default body did not load");
        return;
    }
    for (auto _ : state) {
        for (int n = 1; n <= 20; ++n) {
            benchmark::DoNotOptimize(ComputeUncertaintyBudget(*theCase, n));
        }
    }
}
BENCHMARK(BudgetOfTwentyTrajectories)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
