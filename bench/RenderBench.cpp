// Frame, mesh and pick timings on the headless context (llvmpipe here). Each timed iteration ends
// with glFinish, so the figures include the rasterisation, not only the command submission.
#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/ArrowModels.h"
#include "render/HeadlessContext.h"
#include "render/MeshDrawCache.h"
#include "render/MeshDrawing.h"
#include "render/Renderer.h"
#include "view/ViewState.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// llvmpipe rasterises on threads of its own, which the CPU column does not see: this counter is
// the CPU time of the whole process per iteration, a steadier figure on a busy machine.
class ProcessCpu {
public:
    explicit ProcessCpu(benchmark::State& benchState) : state(benchState), start(std::clock()) {}
    ~ProcessCpu() {
        const double ms = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        state.counters["process_cpu_ms"] =
            benchmark::Counter(ms, benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& state;
    std::clock_t start;
};

// The program's default body and arrows, read from the project folder.
Status LoadDefaultModels(Case& theCase, std::shared_ptr<const ArrowModels>& arrows) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(RUVO_SOURCE_DIR);
    const DefaultModelFiles files;
    auto loaded = std::make_shared<ArrowModels>();
    Status status = loaded->Load(files.arrow, files.halfArrow);
    if (status) {
        status = theCase.body.Load(files.body);
    }
    std::filesystem::current_path(previous);
    arrows = std::move(loaded);
    return status;
}

// The default case: the default body, 20 trajectories over the chest and 20 elements beside it.
// The frames draw it posed once, as the editor poses it once for each change.
struct DefaultCase {
    std::unique_ptr<HeadlessContext> context;
    Case theCase;
    PosedCase posed;
    ViewState view;
    Renderer renderer;
    std::string error;

    // Without trajectories and elements it is the floor the full case is measured against.
    explicit DefaultCase(bool filled = true) {
        context = HeadlessContext::Create(kWidth, kHeight, error);
        if (!context) {
            return;
        }
        std::shared_ptr<const ArrowModels> arrows;
        const Status loaded = LoadDefaultModels(theCase, arrows);
        if (!loaded || !renderer.InitializeContext()) {
            error = loaded ? "the OpenGL context could not be set up" : loaded.message();
            context.reset();
            return;
        }
        renderer.SetArrowModels(arrows);
        view.ViewFront();
        renderer.Resize(kWidth, kHeight);
        if (filled) {
            Fill();
        }
        Pose();
    }
    ~DefaultCase() {
        if (context) {
            renderer.DestroyContext();
        }
    }

    void Fill() {
        for (int n = 0; n < 20; ++n) {
            Trajectory trajectory;
            trajectory.exited = n % 2 != 0;
            const double x = -0.3 + 0.03 * n;
            trajectory.in = {x, 1.2 + 0.01 * n, 0.3};
            trajectory.out = {x + 0.05, 1.1, -0.1};
            trajectory.color = {1, 0.2, 0.1};
            trajectory.label = "Trajectory " + std::to_string(n + 1);
            theCase.trajectories.push_back(trajectory);
            Element element;
            element.centre = {0.5, 0.1 * n, 0.2};
            element.size = {0.08, 0.05, 0.06};
            element.color = {0.2, 0.8, 0.2};
            element.label = "Element " + std::to_string(n + 1);
            theCase.elements.push_back(element);
        }
        view.SelectTrajectory(5);
        view.SetManipulationMode(ManipulationMode::Rotate);
    }

    // After a change of the case.
    void Pose() { posed = PosedCase(theCase, &posed); }
};

// Frames of the transparent body (axes shown), with or without the 20 + 20 objects.
void RenderFrames(benchmark::State& state, bool filled) {
    DefaultCase fixture(filled);
    if (!fixture.context) {
        state.SkipWithError(fixture.error.c_str());
        return;
    }
    fixture.view.ToggleBodyTransparency();
    ProcessCpu cpu(state);
    for (auto _ : state) {
        fixture.renderer.RenderFrame(fixture.posed, fixture.view);
        glFinish();
    }
}

void BM_DefaultCaseFrame(benchmark::State& state) {
    RenderFrames(state, true);
}
BENCHMARK(BM_DefaultCaseFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same frame with the body alone.
void BM_BodyOnlyFrame(benchmark::State& state) {
    RenderFrames(state, false);
}
BENCHMARK(BM_BodyOnlyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DefaultCasePick(benchmark::State& state) {
    DefaultCase fixture;
    if (!fixture.context) {
        state.SkipWithError(fixture.error.c_str());
        return;
    }
    ProcessCpu cpu(state);
    for (auto _ : state) {
        fixture.renderer.Pick(fixture.posed, fixture.view, kWidth / 2, kHeight / 2);
        glFinish();
    }
}
BENCHMARK(BM_DefaultCasePick)->Unit(benchmark::kMillisecond)->UseRealTime();

// A lit height field of about a million triangles with smooth normals and one material.
Mesh LargeMesh() {
    constexpr int n = 708; // vertices per side: 2 * 707 * 707 = 999,698 triangles
    Mesh mesh;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float x = -1.0f + 2.0f * i / (n - 1);
            const float y = -1.0f + 2.0f * j / (n - 1);
            const float z = 0.1f * std::sin(6 * x) * std::cos(6 * y);
            mesh.positions.push_back({x, y, z});
            const float dx = 0.6f * std::cos(6 * x) * std::cos(6 * y);
            const float dy = -0.6f * std::sin(6 * x) * std::sin(6 * y);
            const float length = std::sqrt(dx * dx + dy * dy + 1);
            mesh.normals.push_back({-dx / length, -dy / length, 1 / length});
        }
    }
    MeshGroup group;
    auto index = [](int i, int j) { return static_cast<uint32_t>(j * n + i); };
    for (int j = 0; j + 1 < n; ++j) {
        for (int i = 0; i + 1 < n; ++i) {
            const uint32_t corners[2][3] = {{index(i, j), index(i + 1, j), index(i + 1, j + 1)},
                                            {index(i, j), index(i + 1, j + 1), index(i, j + 1)}};
            for (const auto& corner : corners) {
                MeshTriangle triangle;
                for (int k = 0; k < 3; ++k) {
                    triangle.position[k] = corner[k];
                    triangle.normal[k] = corner[k];
                }
                group.triangleIndices.push_back(static_cast<uint32_t>(mesh.triangles.size()));
                mesh.triangles.push_back(triangle);
            }
        }
    }
    mesh.groups = {group};
    mesh.materials.resize(1);
    mesh.revision = NextMeshRevision();
    return mesh;
}

const Mesh& SharedLargeMesh() {
    static const Mesh mesh = LargeMesh();
    return mesh;
}

struct MeshBench {
    std::unique_ptr<HeadlessContext> context;
    std::string error;
    MeshBench() {
        context = HeadlessContext::Create(kWidth, kHeight, error);
        if (!context) {
            return;
        }
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, static_cast<double>(kWidth) / kHeight, 0.01, 128);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(0, 0, -2.5);
        glRotated(-30, 1, 0, 0);
    }
    void Clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
};

void BM_LargeMeshCached(benchmark::State& state) {
    const Mesh& mesh = SharedLargeMesh();
    MeshBench bench;
    if (!bench.context) {
        state.SkipWithError(bench.error.c_str());
        return;
    }
    MeshDrawCache cache;
    DrawMesh(mesh, RENDER_SMOOTH | RENDER_COLOR, 1.0f, 1.0f, &cache); // builds the buffers
    glFinish();
    ProcessCpu cpu(state);
    for (auto _ : state) {
        bench.Clear();
        DrawMesh(mesh, RENDER_SMOOTH | RENDER_COLOR, 1.0f, 1.0f, &cache);
        glFinish();
    }
}
BENCHMARK(BM_LargeMeshCached)->Unit(benchmark::kMillisecond)->UseRealTime();

// Resident memory of the process in MiB: the cost of what the first frame built.
double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// The first frame of a newly loaded million-triangle body: the cache builds its vertex buffers
// (the mesh is large enough) and draws them.
void BM_LargeMeshFirstFrame(benchmark::State& state) {
    const Mesh& mesh = SharedLargeMesh();
    MeshBench bench;
    if (!bench.context) {
        state.SkipWithError(bench.error.c_str());
        return;
    }
    double grown = 0;
    ProcessCpu cpu(state);
    for (auto _ : state) {
        MeshDrawCache cache;
        const double before = ResidentMiB();
        bench.Clear();
        DrawMesh(mesh, RENDER_SMOOTH | RENDER_COLOR, 1.0f, 1.0f, &cache);
        glFinish();
        grown = ResidentMiB() - before;
        cache.Release();
    }
    state.counters["resident_growth_mib"] = grown;
}
BENCHMARK(BM_LargeMeshFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The mesh compiled into one display list, as large bodies were drawn before the vertex buffers.
GLuint CompileMeshList(const Mesh& mesh) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEnable(GL_COLOR_MATERIAL);
    IssueMeshTriangles(mesh, RENDER_SMOOTH | RENDER_COLOR, 1.0f);
    glEndList();
    return list;
}

// The same first frame as one compiled display list, as large bodies were drawn before.
void BM_LargeMeshFirstFrameDisplayList(benchmark::State& state) {
    const Mesh& mesh = SharedLargeMesh();
    MeshBench bench;
    if (!bench.context) {
        state.SkipWithError(bench.error.c_str());
        return;
    }
    double grown = 0;
    ProcessCpu cpu(state);
    for (auto _ : state) {
        const double before = ResidentMiB();
        bench.Clear();
        const GLuint list = CompileMeshList(mesh);
        glCallList(list);
        glFinish();
        grown = ResidentMiB() - before;
        glDeleteLists(list, 1);
    }
    state.counters["resident_growth_mib"] = grown;
}
BENCHMARK(BM_LargeMeshFirstFrameDisplayList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LargeMeshPlainDisplayList(benchmark::State& state) {
    const Mesh& mesh = SharedLargeMesh();
    MeshBench bench;
    if (!bench.context) {
        state.SkipWithError(bench.error.c_str());
        return;
    }
    const GLuint list = CompileMeshList(mesh);
    glFinish();
    ProcessCpu cpu(state);
    for (auto _ : state) {
        bench.Clear();
        glCallList(list);
        glFinish();
    }
    glDeleteLists(list, 1);
}
BENCHMARK(BM_LargeMeshPlainDisplayList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LargeMeshImmediate(benchmark::State& state) {
    const Mesh& mesh = SharedLargeMesh();
    MeshBench bench;
    if (!bench.context) {
        state.SkipWithError(bench.error.c_str());
        return;
    }
    ProcessCpu cpu(state);
    for (auto _ : state) {
        bench.Clear();
        DrawMesh(mesh, RENDER_SMOOTH | RENDER_COLOR, 1.0f);
        glFinish();
    }
}
BENCHMARK(BM_LargeMeshImmediate)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scene model of a case: the million-triangle height field stood up as a wall 1.5 m behind
// the body, with its smooth normals as a scene model read from a file has them.
std::shared_ptr<const Mesh> SceneWall() {
    return std::make_shared<const Mesh>(LargeMesh());
}

// Frames of the default body alone while the camera orbits it, with or without the scene model
// in the case: the scene's frame against the body's.
void OrbitFrames(benchmark::State& state, bool withScene) {
    DefaultCase fixture(false);
    if (!fixture.context) {
        state.SkipWithError(fixture.error.c_str());
        return;
    }
    if (withScene) {
        fixture.theCase.world.sceneMesh = SceneWall();
        fixture.theCase.world.scene = {0, 1, -1.5, 0};
        fixture.Pose();
        fixture.renderer.RenderFrame(fixture.posed, fixture.view); // builds the buffers
        glFinish();
    }
    ProcessCpu cpu(state);
    double yaw = 0;
    for (auto _ : state) {
        fixture.view.GetCamera().SetYaw(yaw);
        yaw = std::fmod(yaw + 7.0, 360.0);
        fixture.renderer.RenderFrame(fixture.posed, fixture.view);
        glFinish();
    }
}

void BM_OrbitBodyOnly(benchmark::State& state) {
    OrbitFrames(state, false);
}
BENCHMARK(BM_OrbitBodyOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OrbitBodyInScene(benchmark::State& state) {
    OrbitFrames(state, true);
}
BENCHMARK(BM_OrbitBodyInScene)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
