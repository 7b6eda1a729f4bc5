#include "support/MeshComparison.h"
#include "support/ObjTestText.h"

#include "ReferenceObjReader.h"
#include "mesh/MeshGroups.h"
#include "mesh/io/obj/ObjParallelReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class ObjReaderInput : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("ruvo-obj-input-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::filesystem::path folder_;
};

// A few megabytes of valid model: big enough to be read in several windows and stretches.
std::string LargeModel() {
    std::string text;
    for (int i = 0; i < 60000; ++i) {
        text += "v 0." + std::to_string(i) + " 1.25 -3.5\nvn 0 0 1\n";
    }
    for (int i = 1; i + 2 <= 60000; ++i) {
        text += "f " + std::to_string(i) + "//1 " + std::to_string(i + 1) + "//1 " +
                std::to_string(i + 2) + "//1\n";
    }
    return text;
}

// Reads the file and, when the progress first passes `when`, does `change` to it.
ObjReadResult ReadChangingAt(const std::string& path, double when,
                             const std::function<void()>& change) {
    bool changed = false;
    return ReadObjWithProgress(path, [&](double fraction) {
        if (!changed && fraction >= when && fraction < 1.0) {
            changed = true;
            change();
        }
    });
}

} // namespace

TEST_F(ObjReaderInput, AFileChangedWhileItIsReadIsRefusedCleanly) {
    const std::string text = LargeModel();
    const std::string path = Write("body.obj", text);
    const std::string refusal = "Read Obj failed: \"" + path + "\" changed while it was read.";
    struct Case {
        double when;
        std::function<void()> change;
    };
    const Case cases[] = {
        {0.0, [&] { std::filesystem::resize_file(path, 100); }},             // first reading
        {0.5, [&] { std::filesystem::resize_file(path, text.size() / 2); }}, // second reading
        {0.5, [&] { std::filesystem::resize_file(path, 0); }},
        {0.5, [&] { std::ofstream(path, std::ios::binary) << std::string(text.size(), ' '); }},
    };
    for (const Case& each : cases) {
        Write("body.obj", text);
        testing::internal::CaptureStderr();
        const ObjReadResult result = ReadChangingAt(path, each.when, each.change);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(result.mesh);
        EXPECT_EQ(result.error, refusal);
        EXPECT_EQ(err, ""); // the caller reports it, once
    }
    // Unchanged, the same file reads as from memory.
    Write("body.obj", text);
    const ObjReadResult fromFile = ReadObj(path);
    const ObjReadResult fromMemory = ReadObjText(text, {}, path);
    ASSERT_TRUE(fromFile.mesh && fromMemory.mesh);
    ExpectSameMesh(*fromFile.mesh, *fromMemory.mesh);
}

TEST_F(ObjReaderInput, PipesAndDevicesAreRefusedWithoutWaiting) {
    const std::string fifo = (folder_ / "pipe.obj").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), folder_.string()}) {
        testing::internal::CaptureStderr();
        const ObjReadResult result = ReadObj(path);
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(result.mesh);
        EXPECT_EQ(result.error, "Read Obj failed: can't open data file \"" + path + "\".");
    }
    // The same for a material library.
    ASSERT_EQ(::mkfifo((folder_ / "pipe.mtl").c_str(), 0600), 0);
    const std::string model = Write("m.obj", "mtllib pipe.mtl\nv 0 0 0\nf 1 1 1\n");
    testing::internal::CaptureStderr();
    const ObjReadResult result = ReadObj(model);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(result.mesh);
    EXPECT_EQ(result.error, "glmReadMTL() failed: can't open material file \"" +
                                (folder_ / "pipe.mtl").string() + "\": not a regular file.");
}

// "mtllib ../../etc/passwd" was read as a material library: a model names only regular files in
// its own folder or below it, and the refusal says why the library was not read.
TEST_F(ObjReaderInput, MaterialLibrariesOutsideTheModelsFolderAreNotRead) {
    std::filesystem::create_directories(folder_ / "model" / "sub");
    Write("secret.mtl", "newmtl secret\n");
    Write("model/sub/skin.mtl", "newmtl skin\n");
    Write("model/skin.mtl", "newmtl skin\n");
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl skin\nf 1 2 3\n";
    const std::string folder = (folder_ / "model").string() + "/";
    const auto read = [&](const std::string& library) {
        return ReadObj(Write("model/m.obj", "mtllib " + library + "\n" + triangle));
    };
    const auto refusal = [&](const std::string& library, const std::string& why) {
        return "glmReadMTL() failed: can't open material file \"" + folder + library +
               "\": " + why + ".";
    };
    for (const std::string library : {"../secret.mtl", "sub/../../secret.mtl", "/etc/passwd",
                                      "../../../../../../../../etc/passwd"}) {
        SCOPED_TRACE(library);
        const ObjReadResult result = read(library);
        EXPECT_FALSE(result.mesh);
        EXPECT_EQ(result.error, refusal(library, "it lies outside the model's folder"));
    }
    // A link beside the model that points out of its folder is refused as well.
    ASSERT_EQ(::symlink("../secret.mtl", (folder_ / "model" / "link.mtl").c_str()), 0);
    EXPECT_EQ(read("link.mtl").error, refusal("link.mtl", "it lies outside the model's folder"));
    EXPECT_EQ(read("gone.mtl").error, refusal("gone.mtl", "No such file or directory"));

    // Libraries beside the model and in a folder below it are read as ever.
    for (const std::string library : {"skin.mtl", "sub/skin.mtl", "./sub/../skin.mtl"}) {
        SCOPED_TRACE(library);
        const ObjReadResult result = read(library);
        ASSERT_TRUE(result.mesh) << result.error;
        EXPECT_EQ(result.mesh->materials.at(1).name, "skin");
        EXPECT_EQ(result.mesh->groups.at(*FindGroup(*result.mesh, "skin")).material, 1u);
    }
}

TEST_F(ObjReaderInput, LineEndsOfEveryKindReadAlike) {
    const std::string lf = "# cube corner\nmtllib c.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 1\n"
                           "usemtl red\nf 1/1 2/1\n 3/1\ng x\nf 3 2 1\n";
    Write("c.mtl", "newmtl red\r\nKd 1 0 0\r\n");
    const ObjReadResult reference = ReadObj(Write("lf.obj", lf));
    ASSERT_TRUE(reference.mesh) << reference.error;
    EXPECT_EQ(reference.mesh->triangles.size(), 2u);
    EXPECT_EQ(reference.mesh->materials.at(1).diffuse[1], 0.0f);
    for (const std::string& lineEnd : {std::string("\r\n"), std::string("\r")}) {
        std::string text;
        for (char c : lf) {
            text += c == '\n' ? lineEnd : std::string(1, c);
        }
        Write("c.mtl", "newmtl red" + lineEnd + "Kd 1 0 0" + lineEnd);
        const ObjReadResult result = ReadObj(Write("lf.obj", text));
        ASSERT_TRUE(result.mesh) << result.error;
        ExpectSameMesh(*result.mesh, *reference.mesh);
        // Line numbers count every kind of line end.
        testing::internal::CaptureStderr();
        const ObjReadResult refused =
            ReadObjText(text + "f 1 2 9" + lineEnd, {{"c.mtl", "newmtl red\n"}});
        testing::internal::GetCapturedStderr();
        EXPECT_NE(refused.error.find("line 12 of"), std::string::npos) << refused.error;
    }
}

TEST(ObjReaderGroups, ManyMaterialsKeepTheirOrderAndMaterials) {
    constexpr int kGroups = 50000;
    std::string library, model = "mtllib many.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    for (int i = 0; i < kGroups; ++i) {
        library += "newmtl m" + std::to_string(i) + "\n";
        model += "usemtl m" + std::to_string(i) + "\nf 1 2 3\n";
    }
    model += "usemtl m7\nf 3 2 1\n";
    const ObjReadResult result = ReadObjText(model, {{"many.mtl", library}});
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.groups.size(), kGroups + 1u);
    EXPECT_EQ(mesh.groups.front().name, "default"); // in the order the file creates them
    EXPECT_EQ(mesh.groups.back().name, "m" + std::to_string(kGroups - 1));
    const MeshGroup& seven = mesh.groups.at(*FindGroup(mesh, "m7"));
    EXPECT_EQ(seven.material, 8u);
    EXPECT_EQ(seven.triangleIndices, (std::vector<uint32_t>{8, kGroups + 1}));
    const ObjReadResult reference = ReadObjReference(
        model, "model.obj", [&](auto&) { return std::optional<std::string>(library); });
    ASSERT_TRUE(reference.mesh);
    ExpectSameMesh(mesh, *reference.mesh);
}
