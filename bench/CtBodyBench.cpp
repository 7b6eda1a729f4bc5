// Building the decedent's body (skin at -500 HU and bone at +300, smoothed, simplified to 300,000
// and 250,000 triangles, the skin parted) from a whole-body-sized volume of 512 x 512 x 1,500
// voxels of 0.9 mm (750 MB of Hounsfield units), on one thread and on two: a body lying on its
// back with the arms at its sides, lungs of air in the trunk, a wavy skin, and the long bones,
// spine and skull. BM_SeriesReadAndBuild reads a DICOM series from the folder named by the
// environment variable RUVO_CT_SERIES and builds its body (bench/ct_vtk_side_by_side.sh);
// BM_SeriesIsoSurfaces times only the two iso-surfaces of that series as marched, before any
// smoothing or simplification: the step VTK's vtkFlyingEdges3D does.
#include "base/LargeArrays.h"
#include "ct/CtBody.h"
#include "ct/CtSeriesReader.h"
#include "ct/IsoSurface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr int kRow = 512, kSlices = 1500;
constexpr double kVoxel = 0.9;

double Sq(double v) {
    return v * v;
}

// The body in LPS mm, soles at z = 0, 1.35 m long (what 1,500 slices of 0.9 mm hold).
int16_t BodyHu(double x, double y, double z) {
    const double ax = std::abs(x);
    const double wave = 3 * std::sin(x * 0.05) * std::cos(z * 0.03 + y * 0.04);
    const double rLeg = std::hypot(ax - 75, y), rArm = std::hypot(ax - 185, y);
    const double head = std::sqrt(Sq(x) + Sq(y) + Sq(z - 1260));
    const bool bone = (rLeg < 12 && z > 30 && z < 650) || (rArm < 9 && z > 560 && z < 1060) ||
                      (std::hypot(x, y - 60) < 14 && z > 680 && z < 1130) ||
                      (head > 62 && head < 70 && z > 1200);
    if (bone) {
        return 700;
    }
    const bool lung = Sq((ax - 60) / 45) + Sq(y / 60) + Sq((z - 980) / 130) < 1;
    if (lung) {
        return -850;
    }
    const bool body = head < 75 || (std::hypot(x, y) < 45 && z > 1100 && z < 1210) ||
                      (Sq(x / (130 + wave)) + Sq(y / 90) < 1 && z > 640 && z < 1110) ||
                      (rArm < 30 + wave && z > 540 && z < 1070) ||
                      (ax > 110 && ax < 205 && std::hypot(y, z - 1070) < 32) ||
                      (rLeg < 55 + wave && z >= 5 && z < 670);
    return body ? 40 : -1000;
}

const CtVolume& WholeBody() {
    static const CtVolume volume = [] {
        CtVolume made;
        made.size = {kRow, kRow, kSlices};
        made.spacing = {kVoxel, kVoxel, kVoxel};
        made.origin = {-kRow * kVoxel / 2, -kRow * kVoxel / 2, 0};
        made.hu.resize(static_cast<size_t>(kRow) * kRow * kSlices);
        ForEachPart(kSlices, [&made](size_t begin, size_t end) {
            for (size_t k = begin; k < end; ++k) {
                for (int j = 0; j < kRow; ++j) {
                    for (int i = 0; i < kRow; ++i) {
                        made.hu[i + kRow * (j + kRow * k)] =
                            BodyHu(made.origin.x + i * kVoxel, made.origin.y + j * kVoxel,
                                   made.origin.z + static_cast<double>(k) * kVoxel);
                    }
                }
            }
        });
        return made;
    }();
    return volume;
}

void Count(benchmark::State& state, const CtBodySurfaces& body) {
    state.counters["skin"] = static_cast<double>(body.skin.triangles.size());
    state.counters["bone"] = static_cast<double>(body.bone.triangles.size());
    state.counters["groups"] = static_cast<double>(body.skin.groups.size());
    // Edges not shared by exactly two triangles wound opposite ways: 0 for a closed surface.
    for (const auto& [name, mesh] : {std::pair{"skinOpen", &body.skin}, {"boneOpen", &body.bone}}) {
        std::vector<std::pair<uint32_t, uint32_t>> edges;
        for (const MeshTriangle& t : mesh->triangles) {
            for (int c = 0; c < 3; ++c) {
                edges.emplace_back(t.position[c], t.position[(c + 1) % 3]);
            }
        }
        std::sort(edges.begin(), edges.end());
        double open = 0;
        for (std::size_t e = 0; e < edges.size(); ++e) {
            const bool repeated = (e > 0 && edges[e - 1] == edges[e]) ||
                                  (e + 1 < edges.size() && edges[e + 1] == edges[e]);
            const auto reverse = std::pair{edges[e].second, edges[e].first};
            open += repeated || !std::binary_search(edges.begin(), edges.end(), reverse) ? 1 : 0;
        }
        state.counters[name] = open;
    }
}

// Argument: the threads.
void BM_CtBody(benchmark::State& state) {
    const CtVolume& volume = WholeBody();
    CtBodySurfaces body;
    for (auto _ : state) {
        if (!BuildCtBody(volume, {.threads = static_cast<size_t>(state.range(0))}, body)) {
            state.SkipWithError("the body could not be built");
            return;
        }
    }
    Count(state, body);
}
BENCHMARK(BM_CtBody)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_SeriesReadAndBuild(benchmark::State& state) {
    const char* folder = std::getenv("RUVO_CT_SERIES");
    if (folder == nullptr) {
        state.SkipWithError("RUVO_CT_SERIES names no series folder");
        return;
    }
    CtBodySurfaces body;
    double readSeconds = 0, buildSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CtSeriesReader reader;
        if (Status read = reader.Read(folder); !read) {
            state.SkipWithError(read.message().c_str());
            return;
        }
        const CtVolume volume = reader.TakeVolume();
        const auto read = std::chrono::steady_clock::now();
        if (!BuildCtBody(volume, {.threads = static_cast<size_t>(state.range(0))}, body)) {
            state.SkipWithError("the body could not be built");
            return;
        }
        readSeconds = std::chrono::duration<double>(read - start).count();
        buildSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - read).count();
    }
    state.counters["read_s"] = readSeconds;
    state.counters["build_s"] = buildSeconds;
    Count(state, body);
}
BENCHMARK(BM_SeriesReadAndBuild)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

void BM_SeriesIsoSurfaces(benchmark::State& state) {
    const char* folder = std::getenv("RUVO_CT_SERIES");
    if (folder == nullptr) {
        state.SkipWithError("RUVO_CT_SERIES names no series folder");
        return;
    }
    CtSeriesReader reader;
    if (Status read = reader.Read(folder); !read) {
        state.SkipWithError(read.message().c_str());
        return;
    }
    const CtVolume volume = reader.TakeVolume();
    const std::size_t threads = static_cast<std::size_t>(state.range(0));
    std::size_t triangles = 0;
    for (auto _ : state) {
        triangles = 0;
        for (const int threshold : {-500, 300}) {
            Mesh surface;
            if (!ExtractIsoSurface(volume, {threshold, threads}, surface)) {
                state.SkipWithError("no iso-surface");
                return;
            }
            triangles += surface.triangles.size();
        }
    }
    state.counters["triangles"] = static_cast<double>(triangles);
}
// The CPU column counts every thread's time: on a shared machine it says what the work costs
// when the wall time says more about the other programs running.
BENCHMARK(BM_SeriesIsoSurfaces)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kSecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
