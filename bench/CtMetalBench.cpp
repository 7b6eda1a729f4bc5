// Finding the metal in a CT volume of 512 x 512 x 1,500 voxels (750 MB of Hounsfield units), on
// one thread and on two: a body-sized cylinder of soft tissue (40 HU with noise) in air, a spine
// of bone (700 HU) with a dense cortex (1,800 HU), a 9 mm bullet, three fragments and a 10 cm
// metal rod (an implant), all at 3,071 HU where the scanner's scale ends. Also the pass over the
// voxels alone, at a threshold no voxel reaches.
#include "ct/CtMetal.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

constexpr int kColumns = 512, kRows = 512, kSlices = 1500;
constexpr double kPixelMm = 0.8, kSliceMm = 1.0;

// One slice without noise: the same for every slice of the body.
std::vector<int16_t> BodySlice() {
    std::vector<int16_t> slice(static_cast<size_t>(kColumns) * kRows);
    for (int j = 0; j < kRows; ++j) {
        for (int i = 0; i < kColumns; ++i) {
            const double x = (i - kColumns / 2) * kPixelMm, y = (j - kRows / 2) * kPixelMm;
            const double body = (x * x) / (170.0 * 170.0) + (y * y) / (110.0 * 110.0);
            const double spine = std::hypot(x, y - 60);
            slice[static_cast<size_t>(j) * kColumns + i] = body > 1       ? -1000
                                                           : spine < 12   ? 700
                                                           : spine < 15.0 ? 1800
                                                                          : 40;
        }
    }
    return slice;
}

void AddSphere(CtVolume& volume, double ci, double cj, double ck, double radiusMm) {
    const int ri = static_cast<int>(radiusMm / kPixelMm) + 1,
              rk = static_cast<int>(radiusMm / kSliceMm) + 1;
    for (int k = static_cast<int>(ck) - rk; k <= static_cast<int>(ck) + rk; ++k) {
        for (int j = static_cast<int>(cj) - ri; j <= static_cast<int>(cj) + ri; ++j) {
            for (int i = static_cast<int>(ci) - ri; i <= static_cast<int>(ci) + ri; ++i) {
                const double dx = (i - ci) * kPixelMm, dy = (j - cj) * kPixelMm,
                             dz = (k - ck) * kSliceMm;
                if (dx * dx + dy * dy + dz * dz <= radiusMm * radiusMm) {
                    volume.hu[i + static_cast<size_t>(kColumns) *
                                      (j + static_cast<size_t>(kRows) * k)] = 3071;
                }
            }
        }
    }
}

// A capsule along i: spheres along its axis, close enough to make one smooth object.
void AddCapsuleAlongRow(CtVolume& volume, double ci, double cj, double ck, double lengthMm,
                        double radiusMm) {
    const double half = (lengthMm / 2 - radiusMm) / kPixelMm;
    for (double i = ci - half; i <= ci + half; i += 0.5) {
        AddSphere(volume, i, cj, ck, radiusMm);
    }
}

const CtVolume& BenchVolume() {
    static const CtVolume volume = [] {
        CtVolume made;
        made.size = {kColumns, kRows, kSlices};
        made.spacing = {kPixelMm, kPixelMm, kSliceMm};
        made.origin = {-kColumns / 2 * kPixelMm, -kRows / 2 * kPixelMm, -1500};
        made.hu.resize(static_cast<size_t>(kColumns) * kRows * kSlices);
        const std::vector<int16_t> slice = BodySlice();
        std::mt19937 random(7);
        std::normal_distribution<double> gauss(0, 20);
        std::vector<int16_t> noise(1 << 16);
        for (int16_t& n : noise) {
            n = static_cast<int16_t>(std::lround(gauss(random)));
        }
        uint32_t state = 12345;
        size_t at = 0;
        for (int k = 0; k < kSlices; ++k) {
            for (int16_t value : slice) {
                state = state * 1664525u + 1013904223u;
                made.hu[at++] = static_cast<int16_t>(value + noise[state >> 16]);
            }
        }
        AddCapsuleAlongRow(made, 200, 250, 900, 20, 4.5);
        AddSphere(made, 300, 200, 700, 2.5);
        AddSphere(made, 320, 210, 705, 1.5);
        AddSphere(made, 150, 300, 1200, 3.0);
        for (int k = 200; k < 300; ++k) { // a rod along the slices
            AddSphere(made, 256, 180, k, 4.0);
        }
        return made;
    }();
    return volume;
}

// Arguments: the threads, and the threshold (HU); at 32,000 no voxel reaches it, which times the
// pass over the volume alone.
void BM_FindCtMetal(benchmark::State& state) {
    const CtVolume& volume = BenchVolume();
    const CtMetalOptions options{.thresholdHu = static_cast<int>(state.range(1)),
                                 .threads = static_cast<size_t>(state.range(0))};
    size_t found = 0;
    for (auto _ : state) {
        std::vector<CtMetalObject> objects;
        if (!FindCtMetal(volume, options, objects)) {
            state.SkipWithError("finding the metal failed");
            return;
        }
        found = objects.size();
        benchmark::DoNotOptimize(objects.data());
    }
    state.counters["objects"] = static_cast<double>(found);
    state.counters["voxels/s"] = benchmark::Counter(static_cast<double>(volume.hu.size()) *
                                                        static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_FindCtMetal)
    ->Args({1, 2500})
    ->Args({2, 2500})
    ->Args({1, 32000})
    ->Args({2, 32000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
