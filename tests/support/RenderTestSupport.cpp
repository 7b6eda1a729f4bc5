#include "support/RenderTestSupport.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Changes the working directory for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path& path) : previous(fs::current_path()) {
        fs::current_path(path);
    }
    ~WorkingDirectory() { fs::current_path(previous); }

private:
    fs::path previous;
};

} // namespace

TestModels::TestModels() {
    std::random_device random;
    root = fs::temp_directory_path() / ("ruvo-render-" + std::to_string(random()));
    fs::create_directories(root / "data" / "default");
    const fs::path folder = root / "data" / "default";
    WriteFile(folder / "Arrow1.obj", BoxObj({-0.03f, -0.03f, -0.5f}, {0.03f, 0.03f, 0.0f}, "", ""));
    WriteFile(folder / "HalfArrow1.obj",
              BoxObj({-0.03f, -0.03f, -0.25f}, {0.03f, 0.03f, 0.0f}, "", ""));
    WriteFile(folder / "man1.mtl", "newmtl skin\nKd 0.1 0.1 0.9\nKa 0.2 0.2 0.2\n");
    WriteFile(folder / "man1.obj",
              BoxObj({-0.1f, 0.0f, 0.0f}, {0.1f, 1.8f, 0.2f}, "man1.mtl", "skin"));
    // Drawn 2 m tall, the box's front lies at z = 0.2222.
    WriteFile(folder / "man1.landmarks", "# name x y z\nfront marker 0.05 1.0 0.2222\n");
}

TestModels::~TestModels() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TestModels::BoxObj(const std::array<float, 3>& min, const std::array<float, 3>& max,
                               const std::string& materialLibrary, const std::string& material) {
    std::ostringstream obj;
    if (!materialLibrary.empty()) {
        obj << "mtllib " << materialLibrary << "\n";
    }
    // Vertex k (1..8) has bit 0 for x, bit 1 for y, bit 2 for z set at the maximum.
    for (int k = 0; k < 8; ++k) {
        obj << "v " << ((k & 1) ? max[0] : min[0]) << ' ' << ((k & 2) ? max[1] : min[1]) << ' '
            << ((k & 4) ? max[2] : min[2]) << "\n";
    }
    if (!material.empty()) {
        obj << "usemtl " << material << "\n";
    }
    // Each face as a quad in counter-clockwise order seen from outside.
    const int faces[6][4] = {{1, 5, 7, 3}, {2, 4, 8, 6}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 3, 4, 2}, {5, 6, 8, 7}};
    for (const auto& face : faces) {
        obj << "f " << face[0] << ' ' << face[1] << ' ' << face[2] << "\n";
        obj << "f " << face[0] << ' ' << face[2] << ' ' << face[3] << "\n";
    }
    return obj.str();
}

Status LoadDefaultModels(Case& theCase, std::shared_ptr<const ArrowModels>& arrows) {
    const DefaultModelFiles files;
    auto loaded = std::make_shared<ArrowModels>();
    const Status arrowStatus = loaded->Load(files.arrow, files.halfArrow);
    const Status bodyStatus = theCase.body.Load(files.body);
    theCase.bodyModelFile = files.body;
    arrows = arrowStatus ? std::move(loaded) : nullptr;
    return arrowStatus ? bodyStatus : arrowStatus;
}

RenderHarness::RenderHarness() {
    // References handed out by AddTrajectory and AddElement stay good while the case fills up.
    theCase.trajectories.reserve(Case::kMaxTrajectories);
    theCase.elements.reserve(Case::kMaxElements);
    context = HeadlessContext::Create(kWidth, kHeight, error);
    if (!context) {
        return;
    }
    view.ViewFront();
    {
        WorkingDirectory inModels(models.Root());
        const Status loaded = LoadDefaultModels(theCase, arrows);
        error = loaded.message();
        ready = loaded.ok() && renderer.InitializeContext();
    }
    renderer.SetArrowModels(arrows);
    renderer.Resize(kWidth, kHeight);
}

RenderHarness::~RenderHarness() {
    if (context) {
        renderer.DestroyContext();
    }
}

void RenderHarness::Render() {
    posed = PosedCase(theCase, &posed);
    renderer.RenderFrame(posed, view);
    glFinish();
}

Rgb RenderHarness::Pixel(int x, int y) const {
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

std::array<double, 2> RenderHarness::Project(double x, double y, double z) const {
    const Vec3 eye = view.GetCamera().ViewMatrix().TransformPoint({x, y, z});
    const double focal = 1.0 / std::tan(std::numbers::pi / 6.0);
    const double aspect = static_cast<double>(kWidth) / kHeight;
    const double ndcX = focal / aspect * eye.x / -eye.z;
    const double ndcY = focal * eye.y / -eye.z;
    return {(ndcX + 1.0) * 0.5 * kWidth, (ndcY + 1.0) * 0.5 * kHeight};
}

Rgb RenderHarness::PixelAt(double x, double y, double z) const {
    const std::array<double, 2> at = Project(x, y, z);
    return Pixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
}

void RenderHarness::PickAt(double x, double y) {
    posed = PosedCase(theCase, &posed);
    renderer.Pick(posed, view, static_cast<int>(std::lround(x)),
                  kHeight - static_cast<int>(std::lround(y)));
}

std::optional<int> RenderHarness::PickMetalAt(double x, double y) {
    posed = PosedCase(theCase, &posed);
    return renderer.PickMetal(posed, view, static_cast<int>(std::lround(x)),
                              kHeight - static_cast<int>(std::lround(y)));
}

Trajectory& RenderHarness::AddTrajectory(bool exited, double x, double y, double z, double r,
                                         double g, double b) {
    Trajectory& trajectory = theCase.trajectories.emplace_back();
    trajectory.exited = exited;
    // Along -Z from IN: no turn at all.
    trajectory.in = {x, y, z};
    trajectory.out = {x, y, z - 0.3};
    trajectory.color = {r, g, b};
    return trajectory;
}

Element& RenderHarness::AddElement(double x, double y, double z, double width, double r, double g,
                                   double b) {
    Element& element = theCase.elements.emplace_back();
    element.centre = {x, y, z};
    element.size = {width, width, width};
    element.color = {r, g, b};
    return element;
}

int RunRuvo(const fs::path& folder, const std::string& arguments, std::string& errorText,
            int timeLimitSeconds) {
    const fs::path errors = folder / "stderr.txt";
    const std::string limit =
        timeLimitSeconds > 0 ? "timeout " + std::to_string(timeLimitSeconds) + " " : "";
    const std::string command = "cd '" + folder.string() + "' && " + limit + "'" RUVO_BINARY "' " +
                                arguments + " 2>'" + errors.string() + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(errors);
    std::stringstream text;
    text << in.rdbuf();
    errorText = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string LoadedLibraries(const std::string& program) {
    std::string loaded;
    const std::string command = "LD_TRACE_LOADED_OBJECTS=1 '" + program + "'";
    if (FILE* listing = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, listing)) > 0;) {
            loaded.append(buffer, read);
        }
        ::pclose(listing);
    }
    return loaded;
}
