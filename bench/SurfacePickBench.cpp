// Picking points on the body surface: the one-time build of the search structure and a click's
// query (pixel ray plus nearest hit), on the default body and on a 1,000,000-triangle torus of the
// same shape as the reader benchmark's. The CPU column of the builds is the process's CPU time (all
// threads), which is the wall time on an idle machine.
#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/io/obj/ObjReader.h"
#include "view/SurfacePicking.h"
#include "view/ViewState.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr int kRings = 1000;
constexpr int kSides = 500; // 2 * kRings * kSides triangles
constexpr int kWidth = 800;
constexpr int kHeight = 600;

std::unique_ptr<Mesh> TorusMesh() {
    auto mesh = std::make_unique<Mesh>();
    mesh->path = "torus";
    mesh->positions.resize(kRings * kSides);
    for (int r = 0; r < kRings; ++r) {
        for (int s = 0; s < kSides; ++s) {
            const double u = 2 * std::numbers::pi * r / kRings;
            const double v = 2 * std::numbers::pi * s / kSides;
            mesh->positions[r * kSides + s] = {
                static_cast<float>(0.8 * std::cos(u) + 0.25 * std::cos(v) * std::cos(u)),
                static_cast<float>(0.8 * std::sin(u) + 0.25 * std::cos(v) * std::sin(u)),
                static_cast<float>(0.25 * std::sin(v))};
        }
    }
    const auto index = [](int r, int s) {
        return static_cast<uint32_t>((r % kRings) * kSides + (s % kSides));
    };
    MeshGroup group;
    group.name = "torus";
    for (int r = 0; r < kRings; ++r) {
        for (int s = 0; s < kSides; ++s) {
            const uint32_t a = index(r, s), b = index(r + 1, s), c = index(r + 1, s + 1),
                           d = index(r, s + 1);
            for (const auto& corners : {std::array{a, b, c}, std::array{a, c, d}}) {
                MeshTriangle triangle;
                triangle.position = corners;
                group.triangleIndices.push_back(static_cast<uint32_t>(mesh->triangles.size()));
                mesh->triangles.push_back(triangle);
            }
        }
    }
    mesh->groups.push_back(std::move(group));
    return mesh;
}

// A case of the default body or of the torus, posed once (in the anatomical position, so that
// its mesh is the model's own); a model that does not load leaves the case without a mesh.
const PosedCase& PosedWith(bool torus) {
    static const PosedCase defaultCase = [] {
        Case theCase;
        (void)theCase.body.Load(RUVO_SOURCE_DIR "/data/default/man1.obj");
        return PosedCase(theCase);
    }();
    static const PosedCase torusCase = [] {
        Case theCase;
        (void)theCase.body.LoadMesh(TorusMesh());
        return PosedCase(theCase);
    }();
    return torus ? torusCase : defaultCase;
}

void Build(benchmark::State& state, bool torus) {
    const Mesh* mesh = PosedWith(torus).GetBody().GetMesh();
    if (mesh == nullptr) {
        state.SkipWithError("model not loaded");
        return;
    }
    for (auto _ : state) {
        SurfaceRayCaster caster;
        const Status built = caster.Build(*mesh, mesh->positions);
        benchmark::DoNotOptimize(built.ok());
    }
    state.counters["triangles"] = static_cast<double>(mesh->triangles.size());
}

// One click per iteration, at pixels spread over the middle of the view.
void Query(benchmark::State& state, bool torus) {
    const PosedCase& posed = PosedWith(torus);
    ViewState view;
    view.ViewFront();
    if (!posed.GetBody().PrepareSurface()) {
        state.SkipWithError("surface not built");
        return;
    }
    int pixel = 0;
    int64_t hits = 0;
    for (auto _ : state) {
        const double x = 250 + (pixel % 17) * 18 + 0.5;
        const double y = 50 + (pixel / 17 % 17) * 30 + 0.5;
        ++pixel;
        const auto hit = BodySurfaceAt(posed, view.GetCamera(), kWidth, kHeight, x, y);
        hits += hit ? 1 : 0;
        benchmark::DoNotOptimize(hit);
    }
    state.counters["hit share"] =
        static_cast<double>(hits) / std::max<int64_t>(1, state.iterations());
}

} // namespace

BENCHMARK_CAPTURE(Build, DefaultBody, false)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Query, DefaultBody, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Build, Torus1M, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Query, Torus1M, true)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
