// The iso-surface of a CT volume of 256 x 256 x 256 voxels (32 MB of Hounsfield units), on one
// thread and on every core: a wavy body-sized ellipsoid of soft tissue (40 HU) in air (-1000 HU),
// with a spine-like bone cylinder (700 HU), extracted at the skin's (-500) and the bone's (300)
// thresholds; and ten steps of Taubin's smoothing on the skin.
#include "ct/IsoSurface.h"
#include "mesh/MeshSmoothing.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const CtVolume& PhantomVolume() {
    static const CtVolume volume = [] {
        constexpr int n = 256;
        CtVolume made;
        made.size = {n, n, n};
        made.spacing = {1.5, 1.5, 3.0};
        made.hu.resize(static_cast<size_t>(n) * n * n);
        for (int k = 0; k < n; ++k) {
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    const double x = (i - n / 2.0) / (n * 0.4), y = (j - n / 2.0) / (n * 0.25);
                    const double z = (k - n / 2.0) / (n * 0.45);
                    const double wave = 0.03 * std::sin(9 * x) * std::cos(7 * y + 5 * z);
                    const double skin = x * x + y * y + z * z - 1 + wave;
                    const double bone = x * x + (y - 0.5) * (y - 0.5) - 0.01;
                    const int16_t hu = skin > 0                          ? -1000
                                       : (bone < 0 && std::abs(z) < 0.9) ? 700
                                                                         : 40;
                    made.hu[i + static_cast<size_t>(n) * (j + static_cast<size_t>(n) * k)] = hu;
                }
            }
        }
        return made;
    }();
    return volume;
}

// Arguments: the threshold (HU) and the threads (0 = every core).
void BM_IsoSurface(benchmark::State& state) {
    const CtVolume& volume = PhantomVolume();
    const IsoSurfaceOptions options{.thresholdHu = static_cast<int>(state.range(0)),
                                    .threads = static_cast<size_t>(state.range(1))};
    size_t triangles = 0;
    for (auto _ : state) {
        Mesh mesh;
        if (!ExtractIsoSurface(volume, options, mesh)) {
            state.SkipWithError("the iso-surface failed");
            return;
        }
        triangles = mesh.triangles.size();
        benchmark::DoNotOptimize(mesh.positions.data());
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["voxels/s"] = benchmark::Counter(static_cast<double>(volume.hu.size()) *
                                                        static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IsoSurface)
    ->Args({-500, 1})
    ->Args({-500, 0})
    ->Args({300, 1})
    ->Args({300, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_TaubinSmoothing(benchmark::State& state) {
    static const Mesh skin = [] {
        Mesh made;
        if (!ExtractIsoSurface(PhantomVolume(), {.thresholdHu = -500}, made)) {
            made = Mesh{};
        }
        return made;
    }();
    for (auto _ : state) {
        state.PauseTiming();
        Mesh mesh = skin;
        state.ResumeTiming();
        SmoothTaubin(mesh, {.iterations = 10});
        benchmark::DoNotOptimize(mesh.positions.data());
    }
    state.counters["triangles"] = static_cast<double>(skin.triangles.size());
}
BENCHMARK(BM_TaubinSmoothing)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
