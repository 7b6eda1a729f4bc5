// Import speed of body scans: one generated torus written as binary PLY, binary STL and Wavefront
// OBJ, at 1,000,000 and 5,000,000 triangles, read through the import entry ("Read") and loaded as
// the body is loaded, with fitting and normals ("LoadBody"). The files are written once into the
// temporary folder and removed when the program ends.
#include "MeshFiles.h"

#include "body/Body.h"
#include "mesh/io/MeshImport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include <unistd.h>

namespace {

enum Format { kPly, kStl, kObj };

// The three files of one torus size, removed when the program ends.
struct TorusFiles {
    std::filesystem::path paths[3];
    ~TorusFiles() {
        for (const auto& path : paths) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

const TorusFiles& Files(int64_t triangles) {
    static std::map<int64_t, TorusFiles> made;
    auto [entry, added] = made.try_emplace(triangles);
    if (added) {
        const SimpleMesh torus = MakeTorus(static_cast<uint64_t>(triangles));
        const std::string stem =
            (std::filesystem::temp_directory_path() /
             ("ruvo-bench-scan-" + std::to_string(::getpid()) + "-" + std::to_string(triangles)))
                .string();
        entry->second.paths[kPly] = stem + ".ply";
        entry->second.paths[kStl] = stem + ".stl";
        entry->second.paths[kObj] = stem + ".obj";
        WriteFile(entry->second.paths[kPly], PlyBytes(torus, PlyEncoding::LittleEndian));
        WriteFile(entry->second.paths[kStl], StlBinaryBytes(torus));
        WriteFile(entry->second.paths[kObj], ObjBytes(torus));
    }
    return entry->second;
}

template <Format format> void Read(benchmark::State& state) {
    const auto& path = Files(state.range(0)).paths[format];
    for (auto _ : state) {
        MeshImportResult result = ImportMesh(path.string());
        if (!result.mesh) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.mesh->triangles.size());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}

template <Format format> void LoadBody(benchmark::State& state) {
    const auto& path = Files(state.range(0)).paths[format];
    for (auto _ : state) {
        Body body;
        if (Status status = body.Load(path.string()); !status) {
            state.SkipWithError(status.message().c_str());
            return;
        }
        benchmark::DoNotOptimize(body.GetModel()->normals.size());
    }
}

// A glTF text model whose `count` nodes each place one triangle under a name of their own: the
// reading must grow linearly with the nodes (it grew with their square).
std::string GltfPlacements(int64_t count) {
    // The triangle's three positions (floats) and its indices (0, 1, 2), base64.
    const std::string buffer = "data:application/octet-stream;base64,"
                               "AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAAAAABAAIA";
    std::string json = R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":42,"uri":")" +
                       buffer +
                       R"("}],"bufferViews":[{"buffer":0,"byteLength":36},)"
                       R"({"buffer":0,"byteOffset":36,"byteLength":6}],"accessors":[)"
                       R"({"bufferView":0,"componentType":5126,"count":3,"type":"VEC3"},)"
                       R"({"bufferView":1,"componentType":5123,"count":3,"type":"SCALAR"}],)"
                       R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1}]}],)"
                       R"("nodes":[)";
    std::string roots;
    for (int64_t i = 0; i < count; ++i) {
        json += (i ? "," : "") + std::string(R"({"mesh":0,"name":"n)") + std::to_string(i) + "\"}";
        roots += (i ? "," : "") + std::to_string(i);
    }
    return json + R"(],"scenes":[{"nodes":[)" + roots + R"(]}],"scene":0})";
}

void ReadGltfPlacements(benchmark::State& state) {
    const std::string json = GltfPlacements(state.range(0));
    for (auto _ : state) {
        MeshImportResult result = ImportMeshFromMemory(json, "placements.gltf");
        if (!result.mesh) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.mesh->groups.size());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(ReadGltfPlacements)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Read<kPly>)->Name("Read/ply")->Arg(1000000)->Arg(5000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Read<kStl>)->Name("Read/stl")->Arg(1000000)->Arg(5000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Read<kObj>)->Name("Read/obj")->Arg(1000000)->Arg(5000000)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBody<kPly>)
    ->Name("LoadBody/ply")
    ->Arg(1000000)
    ->Arg(5000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBody<kStl>)
    ->Name("LoadBody/stl")
    ->Arg(1000000)
    ->Arg(5000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBody<kObj>)
    ->Name("LoadBody/obj")
    ->Arg(1000000)
    ->Arg(5000000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
