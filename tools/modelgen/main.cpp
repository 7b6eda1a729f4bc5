// Writes the default body and the two arrow models into the folder named on the command line
// (the project's data/default). The output depends on nothing but this code: the same bytes on
// every run.

#include "ArrowMesh.h"
#include "BodyModel.h"
#include "MeshTopology.h"
#include "ObjWriter.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

bool CheckClosed(const char* name, const TriMesh& mesh) {
    const TopologyReport report = CheckTopology(mesh);
    std::printf("%s: %zu vertices, %zu triangles; %s\n", name, mesh.vertices.size(),
                mesh.triangles.size(), Describe(report).c_str());
    if (report.openOrOverusedEdges != 0 || report.misorientedEdges != 0 ||
        report.eulerCharacteristic != 2 || report.volume <= 0) {
        std::fprintf(stderr, "modelgen: %s is not one closed outward-facing surface\n", name);
        return false;
    }
    return true;
}

bool WriteBody(const std::string& folder) {
    const BodyModel model = BuildBodyModel(BodyModelSettings{});
    const TriMesh& body = model.mesh;
    std::printf("man1: placing the body moved the shoulder pivot by %.5f m\n", model.pivotShift);
    if (!CheckClosed("man1", body)) {
        return false;
    }
    MaterialColours skin;
    skin.ambient[0] = 0.25;
    skin.ambient[1] = 0.2;
    skin.ambient[2] = 0.18;
    skin.diffuse[0] = 0.87;
    skin.diffuse[1] = 0.72;
    skin.diffuse[2] = 0.62;
    skin.specular[0] = skin.specular[1] = skin.specular[2] = 0.05;
    skin.shininess = 100.0;
    return WriteMtl(folder + "/man1.mtl", "skin", skin) &&
           WriteObj(
               folder + "/man1.obj", body,
               {"Ruvolane default body: standing adult, 2 m, facing +Z", "man1.mtl", "skin"}) &&
           WriteLandmarks(folder + "/man1.landmarks", model.landmarks);
}

bool WriteArrow(const std::string& folder, const char* name, const ArrowDimensions& dimensions,
                const char* title) {
    TriMesh arrow = BuildArrow(dimensions);
    RoundToFileResolution(arrow);
    if (!CheckClosed(name, arrow)) {
        return false;
    }
    return WriteObj(folder + "/" + name + ".obj", arrow, {title, "", ""});
}

} // namespace

int main(int argc, char** argv) {
    // An option in the folder's place (--help among them) is never taken for a folder.
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::printf("usage: modelgen OUTPUT_FOLDER\n");
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: modelgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const auto start = std::chrono::steady_clock::now();
    ArrowDimensions full;
    ArrowDimensions half;
    half.headBaseZ = -0.06;
    half.tipZ = -0.12;
    const bool ok =
        WriteArrow(folder, "Arrow1", full, "Ruvolane full arrow: travel along -Z, entry at 0") &&
        WriteArrow(folder, "HalfArrow1", half,
                   "Ruvolane half arrow: travel along -Z, entry at 0, ends inside") &&
        WriteBody(folder);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok) {
        std::fprintf(stderr, "modelgen: failed to write the models into %s\n", folder.c_str());
        return 1;
    }
    std::printf("modelgen: wrote the default models into %s in %.1f s\n", folder.c_str(), seconds);
    return 0;
}
