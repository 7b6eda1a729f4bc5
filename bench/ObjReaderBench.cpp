// Reading speed of the Wavefront reader on a scan-sized model: a torus of 1,000,000 triangles with
// positions, texture coordinates and normals (about 100 MB), written once to a temporary file.
#include "ReferenceObjReader.h"
#include "base/RegularFile.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/obj/ObjChunkCounter.h"
#include "mesh/io/obj/ObjParallelReader.h"
#include "mesh/io/obj/ObjReader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kRings = 1000;
constexpr int kSides = 500; // 2 * kRings * kSides triangles

// Removes the model file when the program ends.
struct TorusFile {
    std::filesystem::path path;
    std::size_t bytes = 0;
    ~TorusFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

bool WriteTorus(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        return false;
    }
    std::fprintf(file, "# torus, %d triangles\n", 2 * kRings * kSides);
    for (int r = 0; r < kRings; ++r) {
        for (int s = 0; s < kSides; ++s) {
            const double u = 2 * std::numbers::pi * r / kRings,
                         v = 2 * std::numbers::pi * s / kSides;
            const double nx = std::cos(v) * std::cos(u), ny = std::cos(v) * std::sin(u);
            const double nz = std::sin(v);
            std::fprintf(file, "v %.6f %.6f %.6f\n", 0.8 * std::cos(u) + 0.25 * nx,
                         0.8 * std::sin(u) + 0.25 * ny, 0.25 * nz);
            std::fprintf(file, "vt %.6f %.6f\n", double(r) / kRings, double(s) / kSides);
            std::fprintf(file, "vn %.6f %.6f %.6f\n", nx, ny, nz);
        }
    }
    const auto index = [](int r, int s) { return (r % kRings) * kSides + (s % kSides) + 1; };
    for (int r = 0; r < kRings; ++r) {
        for (int s = 0; s < kSides; ++s) {
            const int a = index(r, s), b = index(r + 1, s), c = index(r + 1, s + 1),
                      d = index(r, s + 1);
            std::fprintf(file, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c);
            std::fprintf(file, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c, d, d, d);
        }
    }
    return std::fclose(file) == 0;
}

const TorusFile& Torus() {
    static const TorusFile torus = [] {
        TorusFile made;
        made.path = std::filesystem::temp_directory_path() /
                    ("ruvo-bench-torus-" + std::to_string(::getpid()) + ".obj");
        WriteTorus(made.path);
        made.bytes = static_cast<std::size_t>(std::filesystem::file_size(made.path));
        return made;
    }();
    return torus;
}

void ReadObjOnEveryCore(benchmark::State& state) {
    const TorusFile& torus = Torus();
    for (auto _ : state) {
        ObjReadResult result = ReadObj(torus.path.string());
        if (!result.mesh) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.mesh->triangles.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * torus.bytes));
}

// What the body goes through when it is loaded.
void ReadFitAndNormals(benchmark::State& state) {
    const TorusFile& torus = Torus();
    for (auto _ : state) {
        ObjReadResult result = ReadObj(torus.path.string());
        if (!result.mesh) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        FitToUnitBox(*result.mesh);
        ComputeFacetNormals(*result.mesh);
        ComputeVertexNormals(*result.mesh, 90.0f);
        benchmark::DoNotOptimize(result.mesh->normals.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * torus.bytes));
}

// Side by side with ReadObjOnEveryCore: the plain one-thread reference reading that the tests hold
// the program's reader to, on the same text already in memory (the parsing alone).
void ReadObjReferenceReader(benchmark::State& state) {
    const TorusFile& torus = Torus();
    const std::optional<RegularFile> file = RegularFile::Open(torus.path.string());
    const std::optional<std::string> text = file ? file->ReadWhole() : std::nullopt;
    if (!text) {
        state.SkipWithError("the model could not be read");
        return;
    }
    for (auto _ : state) {
        ObjReadResult result = ReadObjReference(*text, torus.path.string(), nullptr);
        if (!result.mesh) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.mesh->triangles.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * torus.bytes));
}

// The parallel reading's own path on one thread (one stretch, in windows): what one core does.
void ReadObjOneStretch(benchmark::State& state) {
    const TorusFile& torus = Torus();
    ObjParallelOptions options;
    options.stretches = 1;
    for (auto _ : state) {
        std::optional<RegularFile> file = RegularFile::Open(torus.path.string());
        if (!file) {
            state.SkipWithError("the model could not be opened");
            return;
        }
        ObjReadResult result = ReadObjInParallel(ObjSource(std::move(*file)), torus.path.string(),
                                                 nullptr, nullptr, options);
        if (!result.mesh) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.mesh->triangles.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * torus.bytes));
}

// The first reading (the counting) of the whole model on one thread: from the file in windows
// (state.range(0) == 0), the copies of the text included, or from the text in memory cut into
// stretches of the windows' size (the counting alone).
void CountObjOneThread(benchmark::State& state) {
    const TorusFile& torus = Torus();
    std::optional<RegularFile> file = RegularFile::Open(torus.path.string());
    const std::optional<std::string> text = file ? file->ReadWhole() : std::nullopt;
    if (!text) {
        state.SkipWithError("the model could not be read");
        return;
    }
    const bool fromFile = state.range(0) == 0;
    const ObjSource source = fromFile ? ObjSource(std::move(*file)) : ObjSource(*text);
    const std::size_t windowBytes = ObjParallelOptions().windowBytes;
    std::vector<std::size_t> cuts{0};
    while (cuts.back() < source.Size()) {
        cuts.push_back(fromFile ? source.Size()
                                : source.StatementStartFrom(cuts.back() + windowBytes));
    }
    const std::function<void(double)> noProgress;
    std::string windowBuffer;
    for (auto _ : state) {
        ObjReadProgress progress(noProgress, source.Size());
        uint64_t triangles = 0;
        for (std::size_t i = 1; i < cuts.size(); ++i) {
            ObjChunkCount count;
            count.begin = cuts[i - 1];
            count.end = cuts[i];
            CountObjChunk(source, windowBytes, windowBuffer, count, progress);
            triangles += count.faultOffset ? 0 : count.triangles;
        }
        if (triangles != 2u * kRings * kSides) {
            state.SkipWithError("the model was not counted");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * torus.bytes));
}

// Thousands of materials: every triangle in a group of its own, each named by a usemtl.
void ReadManyMaterials(benchmark::State& state) {
    const auto groups = static_cast<int>(state.range(0));
    std::string library, model = "mtllib many.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i < groups; ++i) {
        library += "newmtl m" + std::to_string(i) + "\nKd 0.5 0.5 0.5\n";
        model += "usemtl m" + std::to_string(i) + "\nf 1 2 3\n";
    }
    const MtlTextSource source = [&](const std::string&) {
        return std::optional<std::string>(library);
    };
    for (auto _ : state) {
        ObjReadResult result = ReadObjFromMemory(model, "many.obj", source);
        if (!result.mesh) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.mesh->groups.size());
    }
    state.SetItemsProcessed(state.iterations() * groups);
}

// The yardstick: a plain two-pass reader built on fscanf, counting first and filling second.
void FscanfTwoPassRead(benchmark::State& state) {
    const TorusFile& torus = Torus();
    for (auto _ : state) {
        std::FILE* file = std::fopen(torus.path.c_str(), "r");
        char word[128];
        std::size_t vertices = 0, texCoords = 0, normals = 0, faces = 0;
        while (std::fscanf(file, "%127s", word) == 1) {
            if (word[0] == 'v') {
                (word[1] == 't' ? texCoords : word[1] == 'n' ? normals : vertices)++;
            } else if (word[0] == 'f') {
                ++faces;
            }
            std::fscanf(file, "%*[^\n]");
        }
        std::vector<float> v(3 * vertices + 3), t(2 * texCoords + 2), n(3 * normals + 3);
        std::vector<int> f(9 * faces);
        std::rewind(file);
        std::size_t iv = 3, it = 2, in = 3, iface = 0;
        while (std::fscanf(file, "%127s", word) == 1) {
            if (word[0] == 'v' && word[1] == 't') {
                it += std::fscanf(file, "%f %f", &t[it], &t[it + 1]);
            } else if (word[0] == 'v' && word[1] == 'n') {
                in += std::fscanf(file, "%f %f %f", &n[in], &n[in + 1], &n[in + 2]);
            } else if (word[0] == 'v') {
                iv += std::fscanf(file, "%f %f %f", &v[iv], &v[iv + 1], &v[iv + 2]);
            } else if (word[0] == 'f') {
                int* c = &f[9 * iface++];
                std::fscanf(file, "%d/%d/%d %d/%d/%d %d/%d/%d", c, c + 1, c + 2, c + 3, c + 4,
                            c + 5, c + 6, c + 7, c + 8);
            } else {
                std::fscanf(file, "%*[^\n]");
            }
        }
        std::fclose(file);
        benchmark::DoNotOptimize(f.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * torus.bytes));
}

} // namespace

BENCHMARK(ReadObjOnEveryCore)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(ReadObjReferenceReader)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(ReadObjOneStretch)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(CountObjOneThread)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(ReadManyMaterials)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFitAndNormals)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(FscanfTwoPassRead)->Unit(benchmark::kMillisecond)->Iterations(2);

// `ObjReaderBench --write-torus=PATH` writes the model and stops, for timing other readers on the
// same file (bench/fast_obj_side_by_side.sh).
int main(int argc, char** argv) {
    constexpr std::string_view kWriteTorus = "--write-torus=";
    if (argc == 2 && std::string_view(argv[1]).starts_with(kWriteTorus)) {
        const std::filesystem::path path(std::string_view(argv[1]).substr(kWriteTorus.size()));
        return WriteTorus(path) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
