// The uncertainty budget's speed: draws per second with every source on (the points' balls, the
// soft tissue and the spread of every joint, each draw carrying both points with their bones), and
// the budget of a whole case of 20 trajectories at the default 100,000 draws, as a report computes
// it.
#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
#include "case/PosedCase.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The default body with its arms raised and `trajectories` tracks through the right forearm and
// the chest, posed once as a report poses its case.
std::unique_ptr<PosedCase> CaseWithSpreads(int trajectories) {
    Case theCase;
    if (!theCase.body.Load(RUVO_SOURCE_DIR "/data/default/man1.obj").ok()) {
        return nullptr;
    }
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    (void)model.SetSigma("pose", 5);
    (void)model.SetSigma("tissue", 0.01);
    theCase.body.SetPosture(*Posture::Preset("arms raised"));
    for (int n = 0; n < trajectories; ++n) {
        Trajectory t;
        t.exited = true;
        const bool forearm = n % 2 == 0;
        t.in = forearm ? Vec3{-0.27, 0.95 - 0.01 * n, 0.13} : Vec3{0.05, 1.40 - 0.01 * n, 0.26};
        t.out = forearm ? Vec3{-0.21, 0.95, 0.10} : Vec3{0.05, 1.38, 0.03};
        t.inPart = t.outPart = forearm ? "right_forearm" : "trunk";
        theCase.trajectories.push_back(t);
    }
    return std::make_unique<PosedCase>(std::move(theCase));
}

// Draws per second of one budget on `threads` cores (0: all of them): the whole run and each
// source alone.
void DrawBudgets(benchmark::State& state, int threads) {
    std::unique_ptr<PosedCase> theCase = CaseWithSpreads(1);
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
    std::unique_ptr<PosedCase> theCase = CaseWithSpreads(20);
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

// A track through the right forearm and on into the chest with `points` points between IN and
// OUT: each draw moves and carries every stop and fits the line through them.
std::unique_ptr<PosedCase> ShotWithPoints(int points) {
    std::unique_ptr<PosedCase> base = CaseWithSpreads(0);
    if (!base) {
        return nullptr;
    }
    Case theCase = base->GetCase();
    Trajectory t;
    t.exited = true;
    t.in = {-0.27, 0.95, 0.13};
    t.inPart = "right_forearm";
    t.out = {0.05, 1.38, 0.03};
    t.outPart = "trunk";
    for (int k = 1; k <= points; ++k) {
        const double s = double(k) / (points + 1);
        t.points.push_back({{t.in.x + s * (t.out.x - t.in.x), t.in.y + s * (t.out.y - t.in.y),
                             t.in.z + s * (t.out.z - t.in.z)},
                            0.005,
                            s < 0.3 ? "right_forearm" : "trunk"});
    }
    theCase.trajectories = {t};
    return std::make_unique<PosedCase>(std::move(theCase));
}

// Draws per second on one core of the budget of a track with `points` points (0: IN and OUT
// alone, as every track before points).
void BudgetDrawsWithPoints(benchmark::State& state) {
    std::unique_ptr<PosedCase> theCase = ShotWithPoints(static_cast<int>(state.range(0)));
    if (!theCase) {
        state.SkipWithError("the default body did not load");
        return;
    }
    int64_t draws = 0;
    for (auto _ : state) {
        const auto budget = ComputeUncertaintyBudget(*theCase, 1, 1);
        draws += budget->draws +
                 static_cast<int64_t>(budget->sources.size()) * SourceRankingDraws(budget->draws);
    }
    state.SetItemsProcessed(draws);
}
BENCHMARK(BudgetDrawsWithPoints)->Arg(0)->Arg(3)->Arg(20)->Unit(benchmark::kMillisecond);

// The drawn cone of a track with points, as the view redraws it while a posture is dragged.
void DrawnConeWithPoints(benchmark::State& state) {
    std::unique_ptr<PosedCase> theCase = ShotWithPoints(static_cast<int>(state.range(0)));
    if (!theCase) {
        state.SkipWithError("the default body did not load");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(UncertaintyCone95(*theCase, 1));
    }
}
BENCHMARK(DrawnConeWithPoints)
    ->Arg(0)
    ->Arg(3)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
