#include "ObjWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

constexpr double kUnitsPerMetre = 100000.0;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Prints a value already on the 1e-5 grid without a "-0.00000".
void PrintCoordinate(std::FILE* file, double value) {
    const long long units = std::llround(value * kUnitsPerMetre);
    const long long magnitude = std::llabs(units);
    std::fprintf(file, " %s%lld.%05lld", units < 0 ? "-" : "", magnitude / 100000,
                 magnitude % 100000);
}

void WriteFace(std::FILE* file, const std::array<int, 3>& t) {
    std::fprintf(file, "f %d %d %d\n", t[0] + 1, t[1] + 1, t[2] + 1);
}

bool Finish(FilePtr file) {
    const bool ok = std::ferror(file.get()) == 0;
    return std::fclose(file.release()) == 0 && ok;
}

} // namespace

void RoundToFileResolution(TriMesh& mesh) {
    for (Vec3& v : mesh.vertices) {
        v = {std::llround(v.x * kUnitsPerMetre) / kUnitsPerMetre,
             std::llround(v.y * kUnitsPerMetre) / kUnitsPerMetre,
             std::llround(v.z * kUnitsPerMetre) / kUnitsPerMetre};
    }
}

bool WriteObj(const std::string& path, const TriMesh& mesh, const ObjFileInfo& info) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    std::FILE* f = file.get();
    std::fprintf(f, "# %s\n", info.title.c_str());
    std::fprintf(f, "# Written by tools/modelgen (target generate_default_models); do not edit.\n");
    std::fprintf(f, "# %zu vertices, %zu triangles, metres.\n", mesh.vertices.size(),
                 mesh.triangles.size());
    if (!info.materialLibrary.empty()) {
        std::fprintf(f, "mtllib %s\n", info.materialLibrary.c_str());
    }
    for (const Vec3& v : mesh.vertices) {
        std::fputc('v', f);
        PrintCoordinate(f, v.x);
        PrintCoordinate(f, v.y);
        PrintCoordinate(f, v.z);
        std::fputc('\n', f);
    }
    if (!info.material.empty()) {
        std::fprintf(f, "usemtl %s\n", info.material.c_str());
    }
    if (mesh.groupNames.empty()) {
        for (const auto& t : mesh.triangles) {
            WriteFace(f, t);
        }
        return Finish(std::move(file));
    }
    // Each group once, its triangles in mesh order.
    for (size_t group = 0; group < mesh.groupNames.size(); ++group) {
        std::fprintf(f, "g %s\n", mesh.groupNames[group].c_str());
        for (size_t i = 0; i < mesh.triangles.size(); ++i) {
            if (mesh.triangleGroups[i] == static_cast<int>(group)) {
                WriteFace(f, mesh.triangles[i]);
            }
        }
    }
    return Finish(std::move(file));
}

bool WriteMtl(const std::string& path, const std::string& name, const MaterialColours& c) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    std::FILE* f = file.get();
    std::fprintf(f, "# Written by tools/modelgen (target generate_default_models); do not edit.\n");
    std::fprintf(f, "newmtl %s\n", name.c_str());
    std::fprintf(f, "Ka %.4f %.4f %.4f\n", c.ambient[0], c.ambient[1], c.ambient[2]);
    std::fprintf(f, "Kd %.4f %.4f %.4f\n", c.diffuse[0], c.diffuse[1], c.diffuse[2]);
    std::fprintf(f, "Ks %.4f %.4f %.4f\n", c.specular[0], c.specular[1], c.specular[2]);
    std::fprintf(f, "Ns %.1f\n", c.shininess);
    return Finish(std::move(file));
}
