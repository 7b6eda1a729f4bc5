// Writes the small model files the import tests read, in every supported format and in broken
// forms, and the fuzzing corpus made from them. The same bytes on every run.
#include "MeshFiles.h"

#include "export/ExportScene.h"
#include "export/GlbSceneWriter.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

ExportScene AsScene(const SimpleMesh& mesh) {
    ExportPrimitive primitive;
    primitive.materialName = "skin";
    primitive.color = {0.8f, 0.6f, 0.5f, 1.0f};
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        primitive.positions.insert(primitive.positions.end(), mesh.positions[i].begin(),
                                   mesh.positions[i].end());
        for (uint8_t c : mesh.colors[i]) {
            primitive.colors.push_back(c / 255.0f);
        }
        primitive.colors.push_back(1.0f);
    }
    for (const auto& t : mesh.triangles) {
        primitive.indices.insert(primitive.indices.end(), t.begin(), t.end());
    }
    ExportScene scene;
    scene.nodes.push_back(ExportNode{"Octahedron", {std::move(primitive)}});
    return scene;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "meshgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

std::vector<std::pair<std::string, std::string>> TestFiles() {
    const SimpleMesh mesh = MakeColoredOctahedron();
    const std::string ply = PlyBytes(mesh, PlyEncoding::LittleEndian);
    const std::string stl = StlBinaryBytes(mesh);
    const std::string header = ply.substr(0, ply.find("end_header\n") + 11);
    std::string badIndexPly = PlyBytes(mesh, PlyEncoding::Ascii);
    badIndexPly.replace(badIndexPly.rfind("3 0 3 5"), 7, "3 0 3 6");
    std::string badNumberStl = StlAsciiBytes(mesh);
    badNumberStl.replace(badNumberStl.find("vertex ") + 7, 1, "x");
    std::string badIndexOff = OffBytes(mesh);
    badIndexOff.replace(badIndexOff.rfind("3 0 3 5"), 7, "3 0 3 9");
    std::string glb = EncodeGltfScene(AsScene(mesh), "meshgen", true);
    return {
        {"octahedron_ascii.ply", PlyBytes(mesh, PlyEncoding::Ascii)},
        {"octahedron_le.ply", ply},
        {"octahedron_be.ply", PlyBytes(mesh, PlyEncoding::BigEndian)},
        {"octahedron_ascii.stl", StlAsciiBytes(mesh)},
        {"octahedron_binary.STL", stl},
        {"binary_stl_named.ply", stl},
        {"octahedron.obj", ObjBytes(mesh)},
        {"octahedron.off", OffBytes(mesh)},
        {"octahedron.glb", glb},
        {"octahedron.gltf", EncodeGltfScene(AsScene(mesh), "meshgen", false)},
        {"bad_index.ply", badIndexPly},
        {"truncated.ply", ply.substr(0, ply.size() - 20)},
        {"no_end_header.ply", header.substr(0, header.size() - 11)},
        {"huge_count.ply", "ply\nformat binary_little_endian 1.0\nelement vertex 4000000000\n"
                           "property float x\nproperty float y\nproperty float z\nend_header\n"},
        {"bad_number.stl", badNumberStl},
        {"truncated.stl", stl.substr(0, stl.size() - 50) + "x"},
        {"bad_index.off", badIndexOff},
        {"garbage.glb", glb.substr(0, 40)},
    };
}

// Each corpus entry starts with one byte that picks the name the fuzzer gives the bytes.
char NameByte(const std::string& name) {
    static const char* const kExtensions[] = {".obj", ".ply", ".stl", ".glb", ".gltf", ".off"};
    std::string lower;
    for (char c : name) {
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    for (int i = 0; i < 6; ++i) {
        if (lower.size() > 5 && lower.ends_with(kExtensions[i])) {
            return static_cast<char>(i);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: meshgen TEST_FOLDER CORPUS_FOLDER\n");
        return 2;
    }
    bool ok = true;
    for (const auto& [name, bytes] : TestFiles()) {
        ok = WriteFile(std::string(argv[1]) + "/" + name, bytes) && ok;
        ok = WriteFile(std::string(argv[2]) + "/" + name, NameByte(name) + bytes) && ok;
    }
    return ok ? 0 : 1;
}
