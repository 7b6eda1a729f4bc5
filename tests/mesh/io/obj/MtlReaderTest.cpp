#include "support/ObjTestText.h"
#include "support/RecordedDiagnostics.h"

#include "mesh/MeshGroups.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kTriangleVertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

} // namespace

TEST(MtlReader, MaterialsColoursAndShininess) {
    const std::string library = "Kd 0.5 0.25 0.125\n" // before any newmtl: changes "default"
                                "# skin\nnewmtl skin\nKd 0.9 0.7 0.6\nKa 0.1 0.2 0.3\n"
                                "Ks 1 1 1\nNs 96.0\nillum 2\nmap_Kd skin.png\n"
                                "newmtl bone\nNs 96.0\nNi 1.5\n";
    const RecordedDiagnostics recorded;
    const ObjReadResult result =
        ReadObjText("mtllib body.mtl\n" + kTriangleVertices +
                        "usemtl bone\nf 1 2 3\nusemtl skin\n" + "usemtl missing\nf 3 2 1\n",
                    {{"body.mtl", library}});
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.materials.size(), 3u);
    ASSERT_EQ(mesh.materials.size(), 3u);
    EXPECT_EQ(mesh.materials[0].name, "default");
    EXPECT_EQ(mesh.materials[0].diffuse, (std::array<float, 4>{0.5f, 0.25f, 0.125f, 1.0f}));
    const MeshMaterial& skin = mesh.materials[1];
    EXPECT_EQ(skin.name, "skin");
    EXPECT_EQ(skin.diffuse, (std::array<float, 4>{0.9f, 0.7f, 0.6f, 1.0f}));
    EXPECT_EQ(skin.ambient, (std::array<float, 4>{0.1f, 0.2f, 0.3f, 1.0f}));
    EXPECT_EQ(skin.specular, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_FLOAT_EQ(skin.shininess, 12.288f);
    // Ni is read as a shininess as well, replacing the Ns before it.
    EXPECT_FLOAT_EQ(mesh.materials[2].shininess, 0.192f);
    EXPECT_EQ(mesh.materials[2].diffuse, (std::array<float, 4>{0.8f, 0.8f, 0.8f, 1.0f}));

    EXPECT_EQ(mesh.groups.at(*FindGroup(mesh, "bone")).material, 2u);
    EXPECT_EQ(mesh.groups.at(*FindGroup(mesh, "skin")).material, 1u);
    EXPECT_EQ(mesh.groups.at(*FindGroup(mesh, "missing")).material, 0u);
    EXPECT_EQ(recorded.Lines(), "glmFindMaterial():  can't find material \"missing\".\n");
}

// A material the model names but its library lacks is a warning for a person: it goes to the
// process's diagnostics sink, or nowhere without one. It was printed on stdout, where it came
// before the table a command prints there.
TEST(MtlReader, AMissingMaterialGoesToTheDiagnosticsSinkNeverToTheConsole) {
    const std::string text = "mtllib body.mtl\n" + kTriangleVertices + "usemtl skin\nf 1 2 3\n" +
                             "usemtl bone\nf 3 2 1\nusemtl bone\nf 1 2 3\n";
    const std::map<std::string, std::string> library = {{"body.mtl", "newmtl skin\n"}};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    std::vector<std::string> texts;
    {
        const RecordedDiagnostics recorded;
        EXPECT_TRUE(ReadObjText(text, library).mesh);
        texts = recorded.Texts();
    }
    EXPECT_TRUE(ReadObjText(text, library).mesh);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // Once at every usemtl naming it.
    const std::string bone = "glmFindMaterial():  can't find material \"bone\".";
    EXPECT_EQ(texts, (std::vector<std::string>{bone, bone}));
}

TEST(MtlReader, ASecondLibraryReplacesTheFirst) {
    const ObjReadResult result =
        ReadObjText("mtllib a.mtl\nmtllib b.mtl\n" + kTriangleVertices + "usemtl only\nf 1 2 3\n",
                    {{"a.mtl", "newmtl one\nnewmtl two\nnewmtl three\n"},
                     {"b.mtl", "newmtl only\nKd 0 1 0\n"}});
    ASSERT_TRUE(result.mesh) << result.error;
    ASSERT_EQ(result.mesh->materials.size(), 2u);
    EXPECT_EQ(result.mesh->materials[1].name, "only");
    EXPECT_EQ(result.mesh->groups.back().material, 1u);
}

// A model that names one library again and again gets it read once, and the same materials each
// time; another library in between still replaces them.
TEST(MtlReader, ALibraryNamedAgainAndAgainIsReadOnce) {
    std::map<std::string, int> reads;
    const MtlTextSource libraries = [&reads](const std::string& path) {
        ++reads[path];
        return std::optional<std::string>(path == "a.mtl" ? "newmtl skin\nKd 1 0 0\n"
                                                          : "newmtl bone\nKd 0 0 1\n");
    };
    std::string text = kTriangleVertices;
    for (int i = 0; i < 500; ++i) {
        text += "mtllib a.mtl\n";
    }
    text += "mtllib b.mtl\nmtllib a.mtl\nusemtl skin\nf 1 2 3\n";
    const ObjReadResult result = ReadObjFromMemory(text, "model.obj", libraries);
    ASSERT_TRUE(result.mesh) << result.error;
    EXPECT_EQ(reads["a.mtl"], 1);
    EXPECT_EQ(reads["b.mtl"], 1);
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[1].name, "skin");
    EXPECT_EQ(mesh.groups.at(*FindGroup(mesh, "skin")).material, 1u);
}

TEST(MtlReader, LibraryPathsAndNames) {
    std::vector<std::string> asked;
    const auto source = [&asked](const std::string& path) -> std::optional<std::string> {
        asked.push_back(path);
        return "newmtl a b c\nnewmtl " + std::string(300, 'm') + "\n";
    };
    // The directory of the model's path, with backslashes turned into slashes, plus the name;
    // a name statement with several words takes the second one.
    auto result = ReadObjFromMemory("mtllib first man.mtl\n", "C:\\models\\man.obj", source);
    ASSERT_TRUE(result.mesh) << result.error;
    EXPECT_EQ(result.mesh->path, "C:/models/man.obj");
    result = ReadObjFromMemory("mtllib man.mtl\n", "man.obj", source);
    ASSERT_TRUE(result.mesh) << result.error;
    EXPECT_EQ(asked, (std::vector<std::string>{"C:/models/man.mtl", "man.mtl"}));
    EXPECT_EQ(result.mesh->materials[1].name, "b");
    EXPECT_EQ(result.mesh->materials[2].name, std::string(300, 'm'));

    EXPECT_EQ(PathDirectory("a/b/c.obj"), "a/b/");
    EXPECT_EQ(PathDirectory("c.obj"), "");
}

TEST(MtlReader, AMissingLibraryRefusesTheModel) {
    testing::internal::CaptureStderr();
    const ObjReadResult result =
        ReadObjText("mtllib gone.mtl\n" + kTriangleVertices + "f 1 2 3\n", {}, "data\\man.obj");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(result.mesh);
    EXPECT_EQ(result.error, "glmReadMTL() failed: can't open material file \"data/gone.mtl\".");
    EXPECT_EQ(err, ""); // reported once, by whoever asked for the model
}
