// The origin zones' costs: the search structure over a scene model of a million triangles, one
// back line's first hit on it (Embree, as the surface picking is), the whole analysis of 20
// trajectories against it, and the same with the uncertainty budget's draws at each height.
#include "case/Case.h"
#include "case/PosedCase.h"
#include "world/OriginAnalysis.h"
#include "world/SceneSurfaces.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

// A room-sized height field of 999,698 triangles standing as a wall across z = 3 (x from -5 to
// 5 m, y from 0 to 10 m), with a relief of 10 cm.
Mesh SceneWall() {
    constexpr int n = 708;
    Mesh mesh;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float x = -5.0f + 10.0f * i / (n - 1);
            const float y = 10.0f * j / (n - 1);
            mesh.positions.push_back({x, y, 3.0f + 0.1f * std::sin(3 * x) * std::cos(3 * y)});
        }
    }
    MeshGroup group;
    group.name = "wall";
    const auto index = [](int i, int j) { return static_cast<uint32_t>(j * n + i); };
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            for (const auto& corner :
                 {std::array{index(i, j), index(i + 1, j), index(i + 1, j + 1)},
                  std::array{index(i, j), index(i + 1, j + 1), index(i, j + 1)}}) {
                MeshTriangle triangle;
                for (int k = 0; k < 3; ++k) {
                    triangle.position[k] = corner[k];
                }
                group.triangleIndices.push_back(static_cast<uint32_t>(mesh.triangles.size()));
                mesh.triangles.push_back(triangle);
            }
        }
    }
    mesh.groups = {group};
    return mesh;
}

const Mesh& SharedWall() {
    static const Mesh mesh = SceneWall();
    return mesh;
}

// 20 trajectories side by side, each a little higher than the one before, shot front to back.
void AddTwentyTrajectories(Case& theCase) {
    for (int n = 0; n < 20; ++n) {
        const double x = -0.3 + 0.03 * n;
        Trajectory trajectory;
        trajectory.in = {x, 1.2 + 0.01 * n, 0.3};
        trajectory.out = {x + 0.05, 1.1, 0.05};
        trajectory.exited = true;
        theCase.trajectories.push_back(trajectory);
    }
}

void BM_SceneSurfacesBuild(benchmark::State& state) {
    const Mesh& wall = SharedWall();
    for (auto _ : state) {
        SceneSurfaces surfaces;
        benchmark::DoNotOptimize(surfaces.Build(wall, {}).ok());
    }
}
BENCHMARK(BM_SceneSurfacesBuild)->Unit(benchmark::kMillisecond)->UseRealTime();

// One back line from a body at the origin to the wall, turning a little each time.
void BM_BackLineFirstHit(benchmark::State& state) {
    SceneSurfaces surfaces;
    if (!surfaces.Build(SharedWall(), {}).ok()) {
        state.SkipWithError("the wall could not be prepared");
        return;
    }
    double turn = 0;
    for (auto _ : state) {
        const Vec3 direction{0.3 * std::sin(turn), 0.1, 1.0};
        const double length = std::sqrt(Dot(direction, direction));
        benchmark::DoNotOptimize(surfaces.FirstAlong(
            {0, 1.3, 0.2}, {direction.x / length, direction.y / length, direction.z / length},
            kBackLineReach, {}));
        turn += 0.01;
    }
}
BENCHMARK(BM_BackLineFirstHit)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The analysis of a case of 20 trajectories, three muzzle heights each, against the wall.
void BM_AnalyseTwentyTrajectories(benchmark::State& state) {
    SceneSurfaces surfaces;
    if (!surfaces.Build(SharedWall(), {}).ok()) {
        state.SkipWithError("the wall could not be prepared");
        return;
    }
    Case theCase;
    AddTwentyTrajectories(theCase);
    for (size_t n = 0; n < theCase.trajectories.size(); ++n) {
        theCase.trajectories[n].group = n % 2 ? "A" : "B";
    }
    const PosedCase posed(theCase);
    for (auto _ : state) {
        benchmark::DoNotOptimize(AnalyseOrigins(posed, &surfaces));
    }
}
BENCHMARK(BM_AnalyseTwentyTrajectories)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same 20 trajectories at two muzzle heights with the budget's 100,000 draws each, every
// source of the scene on (the body's heading and position, soft tissue, the balls), as the report
// and `ruvo --origin` analyse them.
void BM_AnalyseTwentyTrajectoriesWithDraws(benchmark::State& state) {
    SceneSurfaces surfaces;
    if (!surfaces.Build(SharedWall(), {}).ok()) {
        state.SkipWithError("the wall could not be prepared");
        return;
    }
    Case theCase;
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    if (!model.SetDraws(100000).ok() || !model.SetSigma("tissue", 0.005).ok() ||
        !model.SetSigma("heading", 2).ok() || !model.SetSigma("placement", 0.05).ok()) {
        state.SkipWithError("the model refused a figure");
        return;
    }
    theCase.world.muzzleHeights = {1.5, 0.3};
    AddTwentyTrajectories(theCase);
    const PosedCase posed(theCase);
    for (auto _ : state) {
        benchmark::DoNotOptimize(AnalyseOrigins(posed, &surfaces, {.budgetDraws = true}));
    }
}
BENCHMARK(BM_AnalyseTwentyTrajectoriesWithDraws)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
