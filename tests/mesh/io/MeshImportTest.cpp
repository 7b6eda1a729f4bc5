#include "MeshFiles.h"
#include "support/RecordedDiagnostics.h"

#include "base/ProgressSink.h"
#include "base/Sha256.h"
#include "body/Body.h"
#include "mesh/MeshValidation.h"
#include "mesh/io/MeshImport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <string>
#include <vector>

namespace {

std::string TestModel(const std::string& name) {
    return std::string(RUVO_SOURCE_DIR "/tests/data/meshes/") + name;
}

// The octahedron's corner at +X, whichever number the reader gave it; kNoIndex for none.
uint32_t VertexAt(const Mesh& mesh, float x, float y, float z) {
    for (uint32_t v = 0; v < mesh.positions.size(); ++v) {
        if (mesh.positions[v] == Vec3f{x, y, z}) {
            return v;
        }
    }
    return kNoIndex;
}

class RecordingSink : public ProgressSink {
public:
    explicit RecordingSink(int cancelPosition) : cancelAt(cancelPosition) {}
    void SetProgress(int position) override { positions.push_back(position); }
    bool CancelRequested() const override {
        return cancelAt > 0 && !positions.empty() && positions.back() >= cancelAt;
    }
    std::vector<int> positions;
    int cancelAt;
};

} // namespace

TEST(MeshImport, TheSameOctahedronComesOutOfEveryFormat) {
    for (const char* name :
         {"octahedron_ascii.ply", "octahedron_le.ply", "octahedron_be.ply", "octahedron_ascii.stl",
          "octahedron_binary.STL", "binary_stl_named.ply", "octahedron.obj", "octahedron.off",
          "octahedron.glb", "octahedron.gltf"}) {
        SCOPED_TRACE(name);
        const MeshImportResult result = ImportMesh(TestModel(name));
        ASSERT_NE(result.mesh, nullptr) << result.error;
        const Mesh& mesh = *result.mesh;
        // STL repeats the corners in every facet; they are shared again.
        EXPECT_EQ(mesh.positions.size(), 6u);
        EXPECT_EQ(mesh.triangles.size(), 8u);
        EXPECT_EQ(mesh.box, (std::array<float, 6>{-1, -1, -1, 1, 1, 1}));
        ASSERT_FALSE(mesh.groups.empty());
        // Each triangle keeps its corners and their order (the facing of the surface).
        const uint32_t right = VertexAt(mesh, 1, 0, 0), top = VertexAt(mesh, 0, 1, 0),
                       front = VertexAt(mesh, 0, 0, 1);
        ASSERT_NE(right, kNoIndex);
        ASSERT_NE(top, kNoIndex);
        ASSERT_NE(front, kNoIndex);
        EXPECT_EQ(mesh.triangles[0].position, (std::array<uint32_t, 3>{right, top, front}));
    }
}

// Whatever the format, the import hands on only meshes that Validate accepts (a Wavefront model's
// numbers as written), and refuses the broken files rather than handing on what they hold.
TEST(MeshImport, EveryMeshItHandsOnIsValid) {
    int read = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(RUVO_SOURCE_DIR "/tests/data/meshes")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const MeshImportResult result = ImportMesh(entry.path().string());
        if (!result.mesh) {
            EXPECT_FALSE(result.error.empty());
            continue;
        }
        const MeshNumbers numbers =
            entry.path().extension() == ".obj" ? MeshNumbers::AsWritten : MeshNumbers::Finite;
        const Status valid = Validate(*result.mesh, numbers);
        EXPECT_TRUE(valid) << valid.message();
        ++read;
    }
    EXPECT_EQ(read, 10);
}

TEST(MeshImport, ScanColoursAreKeptPerVertex) {
    for (const char* name :
         {"octahedron_ascii.ply", "octahedron_le.ply", "octahedron_be.ply", "octahedron.glb"}) {
        SCOPED_TRACE(name);
        const MeshImportResult result = ImportMesh(TestModel(name));
        ASSERT_NE(result.mesh, nullptr) << result.error;
        const Mesh& mesh = *result.mesh;
        ASSERT_EQ(mesh.colors.size(), mesh.positions.size());
        const auto color = [&](float x, float y, float z) {
            const std::array<float, 4>& c = mesh.colors.at(VertexAt(mesh, x, y, z));
            return std::vector<float>(c.begin(), c.end());
        };
        EXPECT_EQ(color(1, 0, 0), (std::vector<float>{1, 0, 0, 1}));
        EXPECT_EQ(color(0, -1, 0), (std::vector<float>{1, 1, 0, 1}));
        EXPECT_EQ(color(0, 0, -1), (std::vector<float>{1, 0, 1, 1}));
    }
    EXPECT_TRUE(ImportMesh(TestModel("octahedron_ascii.stl")).mesh->colors.empty());
}

TEST(MeshImport, BrokenFilesAreRefusedWithTheFileAndTheReason) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"bad_index.ply", "names a vertex that does not exist"},
        {"truncated.ply", "shorter than its header says"},
        {"no_end_header.ply", "end_header"},
        {"huge_count.ply", "shorter than its header says"},
        {"bad_number.stl", "is not three numbers"},
        {"truncated.stl", "shorter than its triangle count says"},
        {"garbage.glb", "garbage.glb"},
        {"no_such_file.ply", "No such file or directory"},
        {"octahedron_ascii.ply/inside", "Not a directory"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        const MeshImportResult result = ImportMesh(TestModel(name));
        EXPECT_EQ(result.mesh, nullptr);
        EXPECT_FALSE(result.cancelled);
        EXPECT_NE(result.error.find("\"" + TestModel(name) + "\""), std::string::npos)
            << result.error;
        EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos);
    }
    // A named pipe or a folder is refused at once: nothing waits for a pipe's writer.
    const std::filesystem::path folder =
        testing::TempDir() + "mesh-import-" + std::to_string(::getpid());
    std::filesystem::create_directories(folder / "folder.stl");
    const std::string pipe = (folder / "pipe.ply").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, (folder / "folder.stl").string()}) {
        EXPECT_EQ(ImportMesh(path).error,
                  "Cannot read the body model \"" + path + "\": it is not a regular file.");
    }
    const std::string objPipe = (folder / "pipe.obj").string();
    ASSERT_EQ(::mkfifo(objPipe.c_str(), 0600), 0);
    EXPECT_EQ(ImportMesh(objPipe).error,
              "Read Obj failed: can't open data file \"" + objPipe + "\".");
    std::filesystem::remove_all(folder);
    // A missing Wavefront file keeps the reader's own words.
    EXPECT_EQ(ImportMesh("absent.obj").error,
              "Read Obj failed: can't open data file \"absent.obj\".");
    // Neither the content nor the name says what a file is.
    const MeshImportResult unknown = ImportMeshFromMemory("hello", "notes.doc");
    EXPECT_NE(unknown.error.find(".ply .stl"), std::string::npos) << unknown.error;
}

TEST(MeshImport, ReaderErrorsRefuseTheFileAndWarningsComeBackAsValues) {
    // A face naming a vertex the file does not have refuses the file rather than taking it with
    // the face altered or dropped; the reason comes back once, in the error.
    std::vector<std::string> warnings;
    MeshImportCallbacks callbacks;
    callbacks.warning = [&](const std::string& text) { warnings.push_back(text); };
    const MeshImportResult result = ImportMesh(TestModel("bad_index.off"), callbacks);
    EXPECT_EQ(result.mesh, nullptr);
    EXPECT_EQ(result.error, "Cannot read the body model \"" + TestModel("bad_index.off") +
                                "\": OFF face 8 names a vertex that does not exist.");
    EXPECT_TRUE(warnings.empty());
    // The glTF parser's warnings reach the caller one line each.
    const std::string image = R"({"asset":{"version":"2.0"},"images":[{"uri":"absent.png"}]})";
    const MeshImportResult noMesh = ImportMeshFromMemory(image, "model.gltf", callbacks);
    EXPECT_EQ(noMesh.mesh, nullptr);
    ASSERT_FALSE(warnings.empty());
    for (const std::string& warning : warnings) {
        EXPECT_FALSE(warning.empty());
        EXPECT_EQ(warning.find('\n'), std::string::npos);
    }
    // A caller that collects none leaves them to the process's diagnostics sink; one that
    // collects them gets them alone.
    const std::vector<std::string> collected = warnings;
    const RecordedDiagnostics recorded;
    ImportMeshFromMemory(image, "model.gltf");
    EXPECT_EQ(recorded.Texts(), collected);
    ImportMeshFromMemory(image, "model.gltf", callbacks);
    EXPECT_EQ(recorded.Texts(), collected);
    EXPECT_EQ(warnings.size(), 2 * collected.size());
}

TEST(MeshImport, ProgressAdvancesAndACancelStopsTheRead) {
    const SimpleMesh torus = MakeTorus(200000);
    for (const std::string& bytes : {PlyBytes(torus, PlyEncoding::LittleEndian),
                                     PlyBytes(torus, PlyEncoding::Ascii), StlBinaryBytes(torus)}) {
        std::vector<double> fractions;
        MeshImportCallbacks callbacks;
        callbacks.progress = [&](double fraction) {
            fractions.push_back(fraction);
            return true;
        };
        const MeshImportResult whole = ImportMeshFromMemory(bytes, "torus.ply", callbacks);
        ASSERT_NE(whole.mesh, nullptr) << whole.error;
        EXPECT_EQ(whole.mesh->triangles.size(), torus.triangles.size());
        ASSERT_GT(fractions.size(), 3u);
        EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
        EXPECT_EQ(fractions.back(), 1.0);

        int calls = 0;
        callbacks.progress = [&](double) { return ++calls < 2; };
        const MeshImportResult stopped = ImportMeshFromMemory(bytes, "torus.ply", callbacks);
        EXPECT_TRUE(stopped.cancelled);
        EXPECT_EQ(stopped.mesh, nullptr);
        EXPECT_EQ(calls, 2);
    }
}

TEST(MeshImport, TheBodyTakesAScanAsItTakesAWavefrontModel) {
    Body body;
    ASSERT_TRUE(body.Load(TestModel("octahedron.obj")));
    const Mesh* obj = body.GetModel();
    const float objHeight = body.GetHeight();
    const std::size_t objNormals = obj->normals.size();

    ASSERT_TRUE(body.Load(TestModel("octahedron_binary.STL")));
    EXPECT_EQ(body.GetHeight(), objHeight);
    EXPECT_EQ(body.GetModel()->normals.size(), objNormals);

    // A failure or a cancel keeps the body that was there.
    const Mesh* before = body.GetModel();
    EXPECT_FALSE(body.Load(TestModel("truncated.ply")));
    EXPECT_EQ(body.GetModel(), before);
    RecordingSink cancelling(20);
    const Status cancelled = body.LoadWithProgress(TestModel("octahedron_le.ply"), cancelling);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(body.GetModel(), before);
    EXPECT_EQ(cancelling.positions.back(), 20);

    RecordingSink watching(0);
    ASSERT_TRUE(body.LoadWithProgress(TestModel("octahedron_le.ply"), watching));
    EXPECT_EQ(watching.positions.front(), 10);
    EXPECT_EQ(watching.positions.back(), 60);
    EXPECT_NE(body.GetModel(), before);
}

// What a report cites is the reader's digest of the bytes it parsed: of every format, of a large
// model read in windows on several threads, and of bytes handed over in memory.
TEST(MeshImport, EveryReadMeshCarriesTheDigestOfTheBytesItParsed) {
    const auto bytesOf = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    for (const char* name : {"octahedron_le.ply", "octahedron_binary.STL", "octahedron.obj",
                             "octahedron.off", "octahedron.glb", "octahedron.gltf"}) {
        SCOPED_TRACE(name);
        const MeshImportResult result = ImportMesh(TestModel(name));
        ASSERT_NE(result.mesh, nullptr) << result.error;
        EXPECT_EQ(result.mesh->sourceSha256, Sha256Hex(bytesOf(TestModel(name))));
        const std::string bytes = bytesOf(TestModel(name));
        const MeshImportResult fromMemory = ImportMeshFromMemory(bytes, name);
        ASSERT_NE(fromMemory.mesh, nullptr) << fromMemory.error;
        EXPECT_EQ(fromMemory.mesh->sourceSha256, Sha256Hex(bytes));
    }
    // Over a megabyte: the text is cut into stretches and read through windows twice.
    std::string large;
    for (int i = 0; large.size() < (std::size_t{3} << 20); ++i) {
        large += "v " + std::to_string(i) + " " + std::to_string(i % 7) + " 0.5\n";
    }
    large += "f 1 2 3\nf -1 -2 -3\n";
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("ruvo-digest-" + std::to_string(::getpid()) + ".obj"))
                                 .string();
    std::ofstream(path, std::ios::binary) << large;
    const MeshImportResult result = ImportMesh(path);
    std::filesystem::remove(path);
    ASSERT_NE(result.mesh, nullptr) << result.error;
    EXPECT_EQ(result.mesh->sourceSha256, Sha256Hex(large));
}
