// One slice of a 512 x 512 x 1500 CT volume (750 MB of Hounsfield units, the size of a
// whole-body post-mortem scan) drawn at a new position each time, as while scrolling: axial,
// coronal and sagittal, each picture one voxel a pixel through the soft-tissue window. Every
// axis of the volume runs against the patient's (as rows and columns do in a prone scan), so the
// slicer reads its rows backwards; coronal and sagittal pictures gather across the slices, and
// sagittal ones come from the slicer's blocks of neighbouring planes unless drawn directly.
#include "ct/CtSliceBlockCache.h"
#include "ct/CtSlicer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr int kSide = 512, kSlices = 1500;

const CtScan& WholeBodyScan() {
    static const std::unique_ptr<CtScan> scan = [] {
        auto made = std::make_unique<CtScan>();
        CtVolume& volume = made->volume;
        volume.size = {kSide, kSide, kSlices};
        volume.spacing = {0.9, 0.9, 1.0};
        volume.rowDirection = {-1, 0, 0};
        volume.columnDirection = {0, -1, 0};
        volume.sliceDirection = {0, 0, -1};
        volume.origin = {230, 230, 0};
        // As the series reader allocates it (small pages).
        volume.hu.resize(static_cast<size_t>(kSide) * kSide * kSlices);
        for (int k = 0; k < kSlices; ++k) {
            for (int j = 0; j < kSide; ++j) {
                const size_t row =
                    static_cast<size_t>(kSide) * (j + static_cast<size_t>(kSide) * k);
                for (int i = 0; i < kSide; ++i) {
                    const int x = i - kSide / 2, y = j - kSide / 2;
                    const int r2 = x * x + 2 * y * y;
                    volume.hu[row + i] = static_cast<int16_t>(
                        r2 > 200 * 200 ? -1000 : (r2 < 30 * 30 ? 700 : 40 + (i + j + k) % 64));
                }
            }
        }
        made->frame.originLps = {0, 230, -1500};
        return made;
    }();
    return *scan;
}

// Arguments: the orientation (0 axial, 1 coronal, 2 sagittal), the slices scrolled between two
// pictures (1 or -1: a wheel notch at a time, either way; 7: a fast scroll), whether the picture
// is read from the volume itself (1) rather than the slicer's blocks (0), and the pause between
// two pictures, ms (0: drawn back to back, the hardest case for the blocks prepared ahead; 10: a
// wheel turned at 100 notches a second). One iteration is one redraw; `first_ms` is the first
// (for sagittal slices: their block built), `worst_ms` the slowest of the others.
void BM_SliceWhileScrolling(benchmark::State& state) {
    const CtSlicer slicer(WholeBodyScan(), static_cast<CtSliceOrientation>(state.range(0)));
    const CtWindow window = WindowOfPreset(CtWindowPreset::SoftTissue);
    CtSliceImage image;
    const int step = static_cast<int>(state.range(1));
    const bool direct = state.range(2) != 0;
    const auto pause = std::chrono::milliseconds(state.range(3));
    const int count = slicer.SliceCount();
    int slice = count / 3;
    double first = -1, worst = 0;
    for (auto _ : state) {
        if (pause.count() > 0) {
            state.PauseTiming();
            std::this_thread::sleep_for(pause);
            state.ResumeTiming();
        }
        // Wrapping at the end: never the slice just drawn.
        slice = ((slice + step) % count + count) % count;
        const auto start = std::chrono::steady_clock::now();
        if (direct) {
            slicer.DrawDirect(slice, window, image);
        } else {
            slicer.Draw(slice, window, image);
        }
        benchmark::DoNotOptimize(image.grey.data());
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (first < 0) {
            first = took.count();
        } else {
            worst = std::max(worst, took.count());
        }
    }
    state.counters["pixels"] = static_cast<double>(image.grey.size());
    state.counters["first_ms"] = first;
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_SliceWhileScrolling)
    ->ArgNames({"orientation", "step", "direct", "pause_ms"})
    ->ArgsProduct({{0, 1}, {1, 7}, {0}, {0}})
    ->ArgsProduct({{2}, {1, -1, 7, 100}, {0, 1}, {0}})
    ->ArgsProduct({{2}, {1, -1, 7}, {0}, {10}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One block of 32 sagittal planes gathered from the volume, as after a jump: the planes asked
// for lie far apart, so that nothing is prepared ahead.
void BM_SagittalBlockBuild(benchmark::State& state) {
    CtSliceBlockCache blocks(WholeBodyScan().volume);
    int plane = 0;
    for (auto _ : state) {
        plane = (plane + 100) % kSide;
        benchmark::DoNotOptimize(blocks.BlockHolding(plane, true).get());
    }
}
BENCHMARK(BM_SagittalBlockBuild)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
