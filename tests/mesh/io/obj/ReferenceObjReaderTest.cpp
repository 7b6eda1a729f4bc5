// The reference reader checked on its own, against results worked out by hand, so that a
// comparison with it means something.
#include "ReferenceObjReader.h"
#include "support/RecordedDiagnostics.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using ReferenceCorners = std::array<int32_t, 3>;

ObjReadResult Read(const std::string& text,
                   const std::map<std::string, std::string>& libraries = {},
                   const std::string& path = "model.obj") {
    return ReadObjReference(text, path,
                            [libraries](const std::string& asked) -> std::optional<std::string> {
                                const auto found = libraries.find(asked);
                                if (found == libraries.end()) {
                                    return std::nullopt;
                                }
                                return found->second;
                            });
}

// Reads text that must be refused; nothing may be printed on either stream.
std::string ReferenceRefusal(const std::string& text,
                             const std::map<std::string, std::string>& libraries = {}) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const ObjReadResult result = Read(text, libraries);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << text;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << text;
    EXPECT_FALSE(result.mesh) << text;
    return result.error;
}

// The corners' indices as the file numbers its elements: from 1, 0 for none.
ReferenceCorners ReferenceFileNumbers(const std::array<uint32_t, 3>& indices) {
    ReferenceCorners numbers{};
    for (int c = 0; c < 3; ++c) {
        numbers[c] = indices[c] == kNoIndex ? 0 : static_cast<int32_t>(indices[c]) + 1;
    }
    return numbers;
}
ReferenceCorners VertexCorners(const Mesh& mesh, std::size_t t) {
    return ReferenceFileNumbers(mesh.triangles.at(t).position);
}
ReferenceCorners TextureCorners(const Mesh& mesh, std::size_t t) {
    return ReferenceFileNumbers(mesh.triangles.at(t).texCoord);
}
ReferenceCorners NormalCorners(const Mesh& mesh, std::size_t t) {
    return ReferenceFileNumbers(mesh.triangles.at(t).normal);
}

uint32_t Bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

const std::string kFive = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 1.5 0\n";

} // namespace

TEST(ReferenceObjReader, FacesBecomeFansAndShortFacesRepeatTheirLastCorner) {
    const ObjReadResult result = Read(kFive + "f 1 2 3 4 5\n"
                                              "f 1 2\n"
                                              "f 3\n"
                                              "f 5 4\n 3 2\n"    // corners go on over the line
                                              "f 1 2 3 junk 4\n" // a word that is no corner ends it
                                              "fo\t2\v3\f4\r\n");
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.triangles.size(), 9u);
    EXPECT_EQ(VertexCorners(mesh, 0), (ReferenceCorners{1, 2, 3}));
    EXPECT_EQ(VertexCorners(mesh, 1), (ReferenceCorners{1, 3, 4}));
    EXPECT_EQ(VertexCorners(mesh, 2), (ReferenceCorners{1, 4, 5}));
    EXPECT_EQ(VertexCorners(mesh, 3), (ReferenceCorners{1, 2, 2}));
    EXPECT_EQ(VertexCorners(mesh, 4), (ReferenceCorners{3, 3, 3}));
    EXPECT_EQ(VertexCorners(mesh, 5), (ReferenceCorners{5, 4, 3}));
    EXPECT_EQ(VertexCorners(mesh, 6), (ReferenceCorners{5, 3, 2}));
    EXPECT_EQ(VertexCorners(mesh, 7), (ReferenceCorners{1, 2, 3}));
    EXPECT_EQ(VertexCorners(mesh, 8), (ReferenceCorners{2, 3, 4}));
    EXPECT_EQ(NormalCorners(mesh, 0), (ReferenceCorners{0, 0, 0}));
    EXPECT_EQ(mesh.positions.size(), 5u);
    EXPECT_TRUE(mesh.normals.empty());
    EXPECT_TRUE(mesh.texCoords.empty());
    EXPECT_NE(mesh.revision, 0u);
}

TEST(ReferenceObjReader, TheFirstCornerDecidesWhatEveryCornerCarries) {
    const std::string text = kFive + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nvn 0 0 -1\n"
                                     "f 1/1/1 2/2/1 3/3/2 4/4/2\n" // triangles 0, 1
                                     "f 1//2 2//1 3//2\n"          // 2
                                     "f 1/4 2/3 3/2\n"             // 3
                                     "f 1/2 3 4/1\n" // 4: a bare corner keeps the texture before
                                     "f 2 3/3/1 4\n" // 5: later forms are read as the first's
                                     "f +1/-1 -4/+2/x -3/1\n" // 6: signs; a broken corner
                                     "f 1 2/2 3/3\n";         // 7: no texture, as the first
    const ObjReadResult result = Read(text);
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.triangles.size(), 8u);
    EXPECT_EQ(TextureCorners(mesh, 1), (ReferenceCorners{1, 3, 4}));
    EXPECT_EQ(NormalCorners(mesh, 1), (ReferenceCorners{1, 2, 2}));
    EXPECT_EQ(NormalCorners(mesh, 2), (ReferenceCorners{2, 1, 2}));
    EXPECT_EQ(TextureCorners(mesh, 2), (ReferenceCorners{0, 0, 0}));
    EXPECT_EQ(TextureCorners(mesh, 3), (ReferenceCorners{4, 3, 2}));
    EXPECT_EQ(NormalCorners(mesh, 3), (ReferenceCorners{0, 0, 0}));
    EXPECT_EQ(VertexCorners(mesh, 4), (ReferenceCorners{1, 3, 4}));
    EXPECT_EQ(TextureCorners(mesh, 4), (ReferenceCorners{2, 2, 1}));
    EXPECT_EQ(VertexCorners(mesh, 5), (ReferenceCorners{2, 3, 4}));
    EXPECT_EQ(TextureCorners(mesh, 5), (ReferenceCorners{0, 0, 0}));
    // -1 texture of 4 read is 4; "-4/+2/x" gives vertex -4 = 2 and texture 2; -3 is vertex 3.
    EXPECT_EQ(VertexCorners(mesh, 6), (ReferenceCorners{1, 2, 3}));
    EXPECT_EQ(TextureCorners(mesh, 6), (ReferenceCorners{4, 2, 1}));
    EXPECT_EQ(VertexCorners(mesh, 7), (ReferenceCorners{1, 2, 3}));
    EXPECT_EQ(TextureCorners(mesh, 7), (ReferenceCorners{0, 0, 0}));
    EXPECT_FLOAT_EQ(mesh.texCoords[2][1], 1.0f);
    EXPECT_FLOAT_EQ(mesh.normals[1].z, -1.0f);
}

TEST(ReferenceObjReader, NegativeIndicesCountBackFromTheElementsReadBeforeTheFace) {
    const ObjReadResult result = Read("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                                      "f -3/-1/-1 -2/1/1 -1/1/1\n"
                                      "f 1 2 4\n" // a later vertex may be named before it is read
                                      "v 5 5 5\n"
                                      "f -1 -2 -3\n");
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    EXPECT_EQ(VertexCorners(mesh, 0), (ReferenceCorners{1, 2, 3}));
    EXPECT_EQ(TextureCorners(mesh, 0), (ReferenceCorners{1, 1, 1}));
    EXPECT_EQ(NormalCorners(mesh, 0), (ReferenceCorners{1, 1, 1}));
    EXPECT_EQ(VertexCorners(mesh, 1), (ReferenceCorners{1, 2, 4}));
    EXPECT_EQ(VertexCorners(mesh, 2), (ReferenceCorners{4, 3, 2}));
}

TEST(ReferenceObjReader, FilesNamingNoElementOrUnknownStatementsAreRefused) {
    const std::string three = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    EXPECT_EQ(ReferenceRefusal(three + "f 1 2 3\n\nf 0 1 2\n"),
              "Read Obj failed: line 6 of \"model.obj\" names vertex 0, but indices start at 1.");
    EXPECT_EQ(ReferenceRefusal(three + "f 1 2 4\n"),
              "Read Obj failed: line 4 of \"model.obj\" names vertex 4, but the file has 3 "
              "vertices.");
    EXPECT_EQ(ReferenceRefusal("v 0 0 0\nf -1 -2 -1\nv 1 1 1\n"),
              "Read Obj failed: line 2 of \"model.obj\" names vertex -2, but only 1 vertices "
              "come before it.");
    EXPECT_EQ(ReferenceRefusal(three + "f 1/1 2/1 3/1\n"),
              "Read Obj failed: line 4 of \"model.obj\" names texture coordinate 1, but the file "
              "has 0 texture coordinates.");
    // "//" anywhere makes the vertex-normal form, which "1/2//3" then does not fit.
    EXPECT_EQ(ReferenceRefusal(three + "vn 0 0 1\nf 1/2//3 2//1 3//1\n"),
              "Read Obj failed: line 5 of \"model.obj\" names normal 0, but indices start at 1.");
    // Every CR ends a line, an LF only when it does not follow a CR; the line is the f's.
    EXPECT_EQ(ReferenceRefusal("v 0 0 0\r\nv 1 0 0\rv 0 1 0\n\r\nf 1 2\n 9\n"),
              "Read Obj failed: line 5 of \"model.obj\" names vertex 9, but the file has 3 "
              "vertices.");
    EXPECT_EQ(ReferenceRefusal(three + "f 2 3 99999999999999999999\n"),
              "Read Obj failed: line 4 of \"model.obj\" names vertex 1000000000000, but the file "
              "has 3 vertices.");
    EXPECT_EQ(ReferenceRefusal(three + "f 2 3 -2147483649\n"),
              "Read Obj failed: line 4 of \"model.obj\" names vertex -2147483649, but only 3 "
              "vertices come before it.");
    EXPECT_NE(ReferenceRefusal(three + "f\n").find("names vertex 0, but indices start at 1."),
              std::string::npos);
    // The first reading's refusals come before any index is looked at, wherever they stand.
    EXPECT_EQ(ReferenceRefusal(three + "f 0 0 0\nvp 0.5 0.5\n"),
              "glmFirstPass(): Unknown token \"vp\".");
    EXPECT_EQ(ReferenceRefusal(three + "usemtl x\nf 0 0 0\nmtllib gone.mtl\nv1 2 3\n"),
              "glmReadMTL() failed: can't open material file \"gone.mtl\".");
}

TEST(ReferenceObjReader, GroupsFollowUsemtlAndTakeTheirMaterialsFromTheLastLibrary) {
    const std::string text = "usemtl bone\n" // named before any library, and found in it
                             "mtllib first.mtl\nmtllib second.mtl\n" +
                             kFive +
                             "f 1 2 3\n"
                             "usemtl skin\nf 1 3 4\n"
                             "g arm\nf 2 3 4\n"
                             "usemtl bone\nf 1 2 4\n"
                             "usemtl extra missing\nusemtl skin\nf 3 4 5\n"
                             "usemtl default\n";
    const std::map<std::string, std::string> libraries = {
        {"dir/first.mtl", "newmtl unused\n"},
        {"dir/second.mtl", "newmtl skin\nnewmtl bone\nnewmtl skin\n"}};
    std::optional<RecordedDiagnostics> recorded(std::in_place);
    const ObjReadResult result =
        ReadObjReference(text, "dir\\model.obj", [&libraries](const std::string& asked) {
            const auto found = libraries.find(asked);
            return found == libraries.end() ? std::nullopt : std::optional(found->second);
        });
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    EXPECT_EQ(mesh.path, "dir/model.obj");
    EXPECT_EQ(mesh.materials.size(), 4u);
    ASSERT_EQ(mesh.groups.size(), 4u);
    // The groups in the order they are created; g statements change nothing.
    EXPECT_EQ(mesh.groups[0].name, "default");
    EXPECT_EQ(mesh.groups[1].name, "bone");
    EXPECT_EQ(mesh.groups[2].name, "skin");
    EXPECT_EQ(mesh.groups[3].name, "missing");
    EXPECT_EQ(mesh.groups[2].triangleIndices, (std::vector<uint32_t>{1, 2, 4}));
    // The faces before the first usemtl of the text belong to that usemtl's group.
    EXPECT_EQ(mesh.groups[1].triangleIndices, (std::vector<uint32_t>{0, 3}));
    EXPECT_TRUE(mesh.groups[0].triangleIndices.empty());
    EXPECT_TRUE(mesh.groups[3].triangleIndices.empty());
    // The first material of the name; a name the library lacks is warned about each time.
    EXPECT_EQ(mesh.groups[2].material, 1u);
    EXPECT_EQ(mesh.groups[1].material, 2u);
    EXPECT_EQ(mesh.groups[3].material, 0u);
    EXPECT_EQ(mesh.groups[0].material, 0u);
    EXPECT_EQ(recorded->Lines(), "glmFindMaterial():  can't find material \"missing\".\n");

    // Without a library every usemtl warns, "default" included.
    recorded.emplace();
    ASSERT_TRUE(Read(kFive + "usemtl default\nf 1 2 3\nusemtl a\n").mesh);
    EXPECT_EQ(recorded->Lines(), "glmFindMaterial():  can't find material \"default\".\n"
                                 "glmFindMaterial():  can't find material \"a\".\n");
}

TEST(ReferenceObjReader, LibrariesGiveColoursAndShininess) {
    const std::string library = "Kd 0.5 0.25 0.125\n" // before any newmtl: "default"
                                "newmtl a b\nKd 0.9\nKa 0.1 0.2 0.3 0.4\nKs 1-2-3\n"
                                "Ns 96.0\nillum 2\nKx 7 7 7\n"
                                "newmtl c\r\nNs 96.0\r\nNi 1.5\r\nNs x\r\n"
                                "newmtl d\nNs 900\n";
    const ObjReadResult result = Read("mtllib m.mtl\n", {{"m.mtl", library}});
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.materials.size(), 4u);
    EXPECT_EQ(mesh.materials[0].name, "default");
    EXPECT_EQ(mesh.materials[0].diffuse, (std::array<float, 4>{0.5f, 0.25f, 0.125f, 1.0f}));
    const MeshMaterial& b = mesh.materials[1];
    EXPECT_EQ(b.name, "b"); // of two words, the second
    EXPECT_EQ(b.diffuse, (std::array<float, 4>{0.9f, 0.8f, 0.8f, 1.0f}));
    EXPECT_EQ(b.ambient, (std::array<float, 4>{0.1f, 0.2f, 0.3f, 1.0f}));
    EXPECT_EQ(b.specular, (std::array<float, 4>{1.0f, -2.0f, -3.0f, 1.0f}));
    EXPECT_EQ(Bits(b.shininess), Bits(static_cast<float>(96.0 / 1000.0 * 128.0)));
    EXPECT_EQ(mesh.materials[2].name, "c");
    EXPECT_EQ(Bits(mesh.materials[2].shininess), Bits(static_cast<float>(1.5 / 1000.0 * 128.0)));
    EXPECT_EQ(mesh.materials[2].diffuse, (std::array<float, 4>{0.8f, 0.8f, 0.8f, 1.0f}));
    EXPECT_EQ(mesh.materials[2].specular, (std::array<float, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
    // Scaled in double precision: 900 gives 115.19999695, where 900 * 0.128f gives 115.20000458.
    EXPECT_EQ(Bits(mesh.materials[3].shininess), Bits(115.19999694824219f));

    // The library is looked for beside the model, with the model's backslashes as slashes; the
    // refusal names the file asked for.
    EXPECT_EQ(ReferenceRefusal("mtllib first man.mtl\n", {{"C:/models/man.mtl", ""}}),
              "glmReadMTL() failed: can't open material file \"man.mtl\".");
    const ObjReadResult found =
        ReadObjReference("mtllib first man.mtl\n", "C:\\models\\man.obj",
                         [](const std::string& asked) -> std::optional<std::string> {
                             return asked == "C:/models/man.mtl"
                                        ? std::optional<std::string>("newmtl x\n")
                                        : std::nullopt;
                         });
    ASSERT_TRUE(found.mesh) << found.error;
    EXPECT_EQ(found.mesh->materials.at(1).name, "x");
}

TEST(ReferenceObjReader, NumbersAreReadAsTheCLibraryReadsThem) {
    const ObjReadResult result =
        Read("v 1e39 -1e39 1e-46\n"
             "v nan -0 0x10 7\n" // hexadecimal is not read: 0, then nothing more
             "v 1-2-3\n"
             "v .5 5. +.5\n"
             "v 1 2\n"
             "v 1e5e3 4 5\n"
             "v 100000000000000000000000000000000000000000000000000e-5 "
             "0.0000000000000000000000000000000000000000000000001e2 -Infinity\n"
             "vt 0.25\n"
             "vn 1,5 2 3\n"
             "f 1 2 3 4 5 6 7\n");
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    // The coordinates one after the other, as the file writes them.
    std::vector<float> v;
    for (const Vec3f& p : mesh.positions) {
        v.insert(v.end(), {p.x, p.y, p.z});
    }
    v.insert(v.begin(), {0.0f, 0.0f, 0.0f}); // so that vertex k starts at 3 * k, as in the file
    ASSERT_EQ(v.size(), 3u * 8);
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(v[3], infinity);
    EXPECT_EQ(v[4], -infinity);
    EXPECT_EQ(Bits(v[5]), 0u);
    EXPECT_TRUE(std::isnan(v[6]));
    EXPECT_EQ(Bits(v[7]), 0x80000000u); // -0 keeps its sign
    EXPECT_EQ(Bits(v[8]), 0u);
    EXPECT_EQ((std::vector<float>(v.begin() + 9, v.begin() + 18)),
              (std::vector<float>{1, -2, -3, 0.5f, 5, 0.5f, 1, 2, 0}));
    EXPECT_EQ((std::vector<float>(v.begin() + 18, v.begin() + 21)),
              (std::vector<float>{100000, 0, 0}));
    // Out of range by their digits, not by the sign of their exponent.
    EXPECT_EQ(v[21], infinity);
    EXPECT_EQ(Bits(v[22]), 0u);
    EXPECT_EQ(v[23], -infinity);
    EXPECT_EQ(mesh.texCoords, (std::vector<std::array<float, 2>>{{0.25f, 0}}));
    EXPECT_EQ(mesh.normals, (std::vector<Vec3f>{{1, 0, 0}}));
}

TEST(ReferenceObjReader, BoxesFollowTheCornersAndTheMeshBoxHoldsTheOrigin) {
    const ObjReadResult result = Read("v 1 2 3\nv 2 3 4\nv 3 5 6\nv -1 -2 -3\nv 100 100 100\n"
                                      "f 1 2 3\n"
                                      "usemtl other\nf 2 3 4\n"
                                      "usemtl empty\n"
                                      "usemtl odd\nv nan -0 1\nv 0 0 -1\nf 6 7 6\n"
                                      "usemtl zero\nv -0 5 5\nv 0 6 6\nf 8 9 9\n");
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.groups.size(), 5u);
    const auto box = [&mesh](std::size_t g) { return mesh.groups.at(g).box; };
    EXPECT_EQ(mesh.groups[0].name, "default");
    EXPECT_EQ(box(0), (std::array<float, 6>{1, 2, 3, 3, 5, 6}));
    EXPECT_EQ(box(1), (std::array<float, 6>{-1, -2, -3, 3, 5, 6}));
    EXPECT_EQ(box(2), (std::array<float, 6>{0, 0, 0, 0, 0, 0})); // "empty"
    // A NaN met first stays; of -0 and 0 the first met stays.
    const std::array<float, 6> odd = box(3);
    EXPECT_TRUE(std::isnan(odd[0]) && std::isnan(odd[3]));
    EXPECT_EQ(Bits(odd[1]), 0x80000000u);
    EXPECT_EQ(Bits(odd[4]), 0x80000000u);
    EXPECT_EQ(odd[2], -1.0f);
    EXPECT_EQ(odd[5], 1.0f);
    EXPECT_EQ(Bits(box(4)[0]), 0x80000000u);
    EXPECT_EQ(Bits(box(4)[3]), 0x80000000u); // the later 0 is not strictly larger
    // The mesh box: the union of the group boxes and the origin; vertex 5, named by no
    // triangle, counts for nothing; a NaN or a -0 in a group box never enters it.
    EXPECT_EQ(mesh.box, (std::array<float, 6>{-1, -2, -3, 3, 6, 6}));
    EXPECT_EQ(Bits(mesh.box[0]), Bits(-1.0f));

    const ObjReadResult positive = Read("v 1 2 3\nv 2 3 4\nv 3 5 6\nf 1 2 3\n");
    ASSERT_TRUE(positive.mesh);
    EXPECT_EQ(positive.mesh->box, (std::array<float, 6>{0, 0, 0, 3, 5, 6}));

    const ObjReadResult empty = Read("");
    ASSERT_TRUE(empty.mesh);
    EXPECT_EQ(empty.mesh->groups.size(), 1u);
    EXPECT_TRUE(empty.mesh->positions.empty());
    EXPECT_TRUE(empty.mesh->materials.empty());
    EXPECT_EQ(empty.mesh->box, (std::array<float, 6>{0, 0, 0, 0, 0, 0}));
}

TEST(ReferenceObjReader, LongLinesWordsAndNamesAreReadWhole) {
    const std::string longName(5000, 'n');
    const std::string text = "# " + std::string(300, 'x') + " f 1 2 3 vp 1\n" + kFive +
                             "o thing\ns 1\nl 1 2\n" + "usemtl " + longName + "\nf 1 2 3\n" +
                             "v 1 2 3 4 f 1 2 3\n" + "v\n";
    const RecordedDiagnostics recorded;
    const ObjReadResult result = Read(text);
    ASSERT_TRUE(result.mesh) << result.error;
    EXPECT_EQ(result.mesh->triangles.size(), 1u);
    EXPECT_EQ(result.mesh->positions.size(), 7u);
    EXPECT_EQ(result.mesh->groups.back().name, longName);
    EXPECT_EQ(recorded.Lines(), "glmFindMaterial():  can't find material \"" + longName + "\".\n");
    EXPECT_FLOAT_EQ(result.mesh->positions[5].z, 3.0f);
}
