// One oblique slab of the track redrawn as the user drags IN, in a CT volume of 512 x 512 x 1,500
// voxels (0.8 x 0.8 x 1 mm, 750 MB of Hounsfield units): a body-sized cylinder of soft tissue
// (40 HU with noise) in air with a spine of bone, and a straight air channel 1 cm across along
// a 31 cm chest shot. Each redraw moves IN 0.5 mm and draws the plane through IN and OUT as a
// 6 mm minimum-intensity slab through the air window (0.8 mm pixels, the track and 3 cm each
// side by 10 cm: 467 x 125 pixels, 9 samples each), on one thread and on two. Also the plane
// across the track at its middle, and that plane as the window redraws it while IN is dragged
// over the picture along the track (whose plane is held during the drag): the new plane across
// the moved track and its slab.
#include "ct/CtObliqueSlicer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

namespace {

constexpr int kColumns = 512, kRows = 512, kSlices = 1500;
constexpr double kPixelMm = 0.8, kSliceMm = 1.0;
// The channel in the body frame (cm): in at the front right of the chest, out at the back left.
const Vec3 kIn{-10, 100, 8}, kOut{8, 80, -8};

double DistanceToChannel(const Vec3& bodyCm) {
    const Vec3 d = Minus(kOut, kIn), w = Minus(bodyCm, kIn);
    const double t = Dot(w, d) / Dot(d, d);
    const Vec3 off = Minus(w, {d.x * t, d.y * t, d.z * t});
    return std::sqrt(Dot(off, off));
}

// IN as the user drags it at redraw `step`: back and forth by up to 2 cm, half a millimetre a
// redraw.
Vec3 DraggedIn(int step) {
    const double shift = 0.05 * (step % 80 < 40 ? step % 40 : 40 - step % 40);
    return {kIn.x + shift, kIn.y + shift * 0.5, kIn.z};
}

// The body frame's origin at the patient frame's; the volume's middle on the head-foot axis.
const CtScan& BenchScan() {
    static const std::unique_ptr<CtScan> scan = [] {
        auto made = std::make_unique<CtScan>();
        CtVolume& volume = made->volume;
        volume.size = {kColumns, kRows, kSlices};
        volume.spacing = {kPixelMm, kPixelMm, kSliceMm};
        volume.origin = {-(kColumns - 1) / 2.0 * kPixelMm, -(kRows - 1) / 2.0 * kPixelMm, 0};
        volume.hu.resize(static_cast<size_t>(kColumns) * kRows * kSlices);
        uint32_t state = 12345;
        size_t at = 0;
        for (int k = 0; k < kSlices; ++k) {
            for (int j = 0; j < kRows; ++j) {
                for (int i = 0; i < kColumns; ++i, ++at) {
                    const double x = volume.origin.x + i * kPixelMm;
                    const double y = volume.origin.y + j * kPixelMm;
                    const double body = (x * x) / (170.0 * 170.0) + (y * y) / (110.0 * 110.0);
                    state = state * 1664525u + 1013904223u;
                    const int noise = static_cast<int>(state >> 27) - 16;
                    volume.hu[at] = static_cast<int16_t>(body > 1                     ? -1000
                                                         : std::hypot(x, y - 60) < 15 ? 700 + noise
                                                                                      : 40 + noise);
                }
            }
        }
        // The channel: only the voxels near it are looked at.
        for (int k = 750; k < 1050; ++k) {
            for (int j = 0; j < kRows; ++j) {
                for (int i = 0; i < kColumns; ++i) {
                    const Vec3 body =
                        LpsToBody(made->frame, {volume.origin.x + i * kPixelMm,
                                                volume.origin.y + j * kPixelMm, k * kSliceMm});
                    if (DistanceToChannel(body) < 0.5) {
                        volume
                            .hu[static_cast<size_t>(i) + static_cast<size_t>(kColumns) *
                                                             (j + static_cast<size_t>(kRows) * k)] =
                            -1000;
                    }
                }
            }
        }
        return made;
    }();
    return *scan;
}

// Draws, on state.range(0) threads, the 6 mm minimum-intensity slab through the air window of
// the plane that makePlane(volume, step, options, plane) cuts at each redraw.
template <typename MakePlane> void DrawSlabs(benchmark::State& state, const MakePlane& makePlane) {
    const CtScan& scan = BenchScan();
    CtObliqueSlicer slicer(scan, static_cast<int>(state.range(0)));
    const CtWindow window = WindowOfPreset(CtWindowPreset::Air);
    CtObliqueOptions options;
    options.slabMm = 6;
    CtSliceImage image;
    CtObliquePlane plane;
    int step = 0;
    for (auto _ : state) {
        if (!makePlane(scan.volume, step++, options, plane)) {
            state.SkipWithError("no plane");
            break;
        }
        slicer.Draw(plane, window, image);
        benchmark::DoNotOptimize(image.grey.data());
    }
    state.counters["pixels"] = static_cast<double>(image.grey.size());
}

void BM_DragTrackSlab(benchmark::State& state) {
    DrawSlabs(state, [](const CtVolume& volume, int step, const CtObliqueOptions& options,
                        CtObliquePlane& plane) {
        return TrackPlane(volume, DraggedIn(step), kOut, options, plane);
    });
}

void BM_CrossTrackSlab(benchmark::State& state) {
    DrawSlabs(state, [](const CtVolume& volume, int, const CtObliqueOptions& options,
                        CtObliquePlane& plane) {
        return CrossPlane(volume, kIn, kOut, 0.5, options, plane);
    });
}

void BM_DragCrossSlab(benchmark::State& state) {
    DrawSlabs(state, [](const CtVolume& volume, int step, const CtObliqueOptions& options,
                        CtObliquePlane& plane) {
        return CrossPlane(volume, DraggedIn(step), kOut, 0.5, options, plane);
    });
}

} // namespace

BENCHMARK(BM_DragTrackSlab)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CrossTrackSlab)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DragCrossSlab)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
