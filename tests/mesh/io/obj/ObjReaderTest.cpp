#include "support/ObjTestText.h"
#include "support/RecordedDiagnostics.h"

#include "mesh/MeshGroups.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

using Corners = std::array<int64_t, 3>;

// The corners' indices as the file numbers its elements: from 1, 0 for none.
Corners FileNumbers(const std::array<uint32_t, 3>& indices) {
    Corners numbers{};
    for (int c = 0; c < 3; ++c) {
        numbers[c] = indices[c] == kNoIndex ? 0 : int64_t{indices[c]} + 1;
    }
    return numbers;
}

Corners Vertices(const Mesh& mesh, std::size_t triangle) {
    return FileNumbers(mesh.triangles.at(triangle).position);
}

const MeshGroup& Group(const Mesh& mesh, const std::string& name) {
    const std::optional<std::size_t> index = FindGroup(mesh, name);
    EXPECT_TRUE(index.has_value()) << name;
    return mesh.groups.at(index.value_or(0));
}

const std::string kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 1.5 0\n";

} // namespace

TEST(ObjReader, FacesBecomeFansAndShortFacesStillMakeOneTriangle) {
    const ObjReadResult result = ReadObjText(kSquare + "f 1 2 3 4 5\nf 1 2\nf 3\n");
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    EXPECT_EQ(mesh.positions.size(), 5u);
    ASSERT_EQ(mesh.triangles.size(), 5u);
    EXPECT_EQ(Vertices(mesh, 0), (Corners{1, 2, 3}));
    EXPECT_EQ(Vertices(mesh, 1), (Corners{1, 3, 4}));
    EXPECT_EQ(Vertices(mesh, 2), (Corners{1, 4, 5}));
    EXPECT_EQ(Vertices(mesh, 3), (Corners{1, 2, 2}));
    EXPECT_EQ(Vertices(mesh, 4), (Corners{3, 3, 3}));
    EXPECT_TRUE(mesh.normals.empty());
    EXPECT_TRUE(mesh.texCoords.empty());
    EXPECT_TRUE(mesh.facetNormals.empty());
    EXPECT_NE(mesh.revision, 0u);
}

TEST(ObjReader, CornerFormsCarryTheirIndices) {
    const std::string text = kSquare + "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nvn 0 0 -1\n"
                                       "f 1/1/1 2/2/1 3/3/2 4/4/2\n"
                                       "f 1//2 2//1 3//2\n"
                                       "f 1/4 2/3 3/2\n";
    const ObjReadResult result = ReadObjText(text);
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.triangles.size(), 4u);
    EXPECT_EQ(mesh.texCoords.size(), 4u);
    EXPECT_EQ(mesh.normals.size(), 2u);
    const MeshTriangle& second = mesh.triangles[1];
    EXPECT_EQ(FileNumbers(second.position), (Corners{1, 3, 4}));
    EXPECT_EQ(FileNumbers(second.texCoord), (Corners{1, 3, 4}));
    EXPECT_EQ(FileNumbers(second.normal), (Corners{1, 2, 2}));
    const MeshTriangle& vertexNormal = mesh.triangles[2];
    EXPECT_EQ(FileNumbers(vertexNormal.normal), (Corners{2, 1, 2}));
    EXPECT_EQ(vertexNormal.texCoord[0], kNoIndex);
    const MeshTriangle& vertexTex = mesh.triangles[3];
    EXPECT_EQ(FileNumbers(vertexTex.texCoord), (Corners{4, 3, 2}));
    EXPECT_EQ(vertexTex.normal[0], kNoIndex);
    EXPECT_FLOAT_EQ(mesh.texCoords[2][1], 1.0f);
    EXPECT_FLOAT_EQ(mesh.normals[1].z, -1.0f);
}

// Three-corner faces are resolved straight into their place in the triangle array, whether every
// index counts from the start or some count back; each field is written, and "none" where the
// face's form gives no texture coordinate or normal, also right after a face that gave both.
TEST(ObjReader, PlainTrianglesWriteEveryFieldOfTheirPlace) {
    const std::string text = kSquare + "vt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\nvn 0 0 -1\n"
                                       "f 1/1/1 -4/-2/-1 3/3/2\n"
                                       "f 2 -2 4 \n"
                                       "f 5/3/2 4/2/1 1/1/1\n"
                                       "f -1 1 2\n";
    const ObjReadResult result = ReadObjText(text);
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.triangles.size(), 4u);
    EXPECT_EQ(Vertices(mesh, 0), (Corners{1, 2, 3}));
    EXPECT_EQ(FileNumbers(mesh.triangles[0].texCoord), (Corners{1, 2, 3}));
    EXPECT_EQ(FileNumbers(mesh.triangles[0].normal), (Corners{1, 2, 2}));
    EXPECT_EQ(Vertices(mesh, 1), (Corners{2, 4, 4}));
    EXPECT_EQ(FileNumbers(mesh.triangles[1].texCoord), (Corners{0, 0, 0}));
    EXPECT_EQ(FileNumbers(mesh.triangles[1].normal), (Corners{0, 0, 0}));
    EXPECT_EQ(FileNumbers(mesh.triangles[2].texCoord), (Corners{3, 2, 1}));
    EXPECT_EQ(Vertices(mesh, 3), (Corners{5, 1, 2}));
    EXPECT_EQ(FileNumbers(mesh.triangles[3].normal), (Corners{0, 0, 0}));
    EXPECT_EQ(Group(mesh, "default").triangleIndices, (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST(ObjReader, GroupsFollowMaterialsAndIgnoreGStatements) {
    const std::string text = kSquare + "f 1 2 3\n"
                                       "usemtl skin\nf 1 3 4\n"
                                       "g arm\nf 2 3 4\n"
                                       "usemtl bone\nf 1 2 4\n"
                                       "usemtl skin\nf 3 4 5\n";
    const RecordedDiagnostics recorded;
    const ObjReadResult result = ReadObjText(text);
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.groups.size(), 3u);
    // The groups stand in the order the file creates them.
    EXPECT_EQ(mesh.groups[0].name, "default");
    EXPECT_EQ(mesh.groups[1].name, "skin");
    EXPECT_EQ(mesh.groups[2].name, "bone");
    EXPECT_EQ(Group(mesh, "default").triangleIndices, (std::vector<uint32_t>{0}));
    EXPECT_EQ(Group(mesh, "skin").triangleIndices, (std::vector<uint32_t>{1, 2, 4}));
    EXPECT_EQ(Group(mesh, "bone").triangleIndices, (std::vector<uint32_t>{3}));
    // Without a library every usemtl warns and the group keeps material 0.
    EXPECT_TRUE(mesh.materials.empty());
    EXPECT_EQ(Group(mesh, "skin").material, 0u);
    EXPECT_EQ(recorded.Lines(), "glmFindMaterial():  can't find material \"skin\".\n"
                                "glmFindMaterial():  can't find material \"bone\".\n"
                                "glmFindMaterial():  can't find material \"skin\".\n");
}

TEST(ObjReader, BoxesCoverTheCornersAndTheMeshBoxTheOrigin) {
    const std::string text = "v 1 2 3\nv 2 3 4\nv 3 5 6\nv -1 -2 -3\n"
                             "f 1 2 3\nusemtl other\nf 2 3 4\nusemtl empty\n";
    const ObjReadResult result = ReadObjText(text);
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    EXPECT_EQ(Group(mesh, "default").box, (std::array<float, 6>{1, 2, 3, 3, 5, 6}));
    EXPECT_EQ(Group(mesh, "other").box, (std::array<float, 6>{-1, -2, -3, 3, 5, 6}));
    EXPECT_EQ(Group(mesh, "empty").box, (std::array<float, 6>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mesh.box, (std::array<float, 6>{-1, -2, -3, 3, 5, 6}));

    const ObjReadResult positive = ReadObjText("v 1 2 3\nv 2 3 4\nv 3 5 6\nf 1 2 3\n");
    ASSERT_TRUE(positive.mesh);
    EXPECT_EQ(positive.mesh->box, (std::array<float, 6>{0, 0, 0, 3, 5, 6}));
}

TEST(ObjReader, StatementsItDoesNotDrawAreSkippedWhole) {
    const std::string longComment = "# " + std::string(300, 'x') + " f 1 2 3 vp 1\n";
    const std::string longName = std::string(200, 'n');
    const std::string text = longComment + kSquare + "o thing\ns 1\nl 1 2\ng part\n" + "usemtl " +
                             longName + "\nf 1 2 3\n" + "v 1 2 3 4 f 1 2 3\n";
    const ObjReadResult result = ReadObjText(text);
    ASSERT_TRUE(result.mesh) << result.error;
    EXPECT_EQ(result.mesh->triangles.size(), 1u);
    EXPECT_EQ(result.mesh->positions.size(), 6u);
    EXPECT_EQ(result.mesh->groups.back().name, longName);
    EXPECT_FLOAT_EQ(result.mesh->positions[5].z, 3.0f);
}

TEST(ObjReader, LongFaceLinesCountAsTheyFill) {
    // Long lines are counted sixteen characters at a time; a word that does not start like a
    // corner ends the face wherever it stands, and corners may go on over the next line.
    std::string text;
    for (int v = 0; v < 40; ++v) {
        text += "v " + std::to_string(v) + " " + std::to_string(v % 7) + " 0\n";
    }
    text += "f 1/1 2/2 3/3 4/4 5/5 6/6 7/7 8/8 9/9 10/10\n"          // 8 triangles
            "f 11 12 13 14 15 16 17 18 19 20 21 22 23 x 24 25 26\n"  // 11, then x is skipped
            "f 30 31 32 33 34 35 36 37 38 39 -1 -2 -3 -4 -5 -6 -7\n" // 15
            "f 1 2 3 4 5 6 7 8 9\n10 11 12\n"                        // 10
            "f\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\r\n";  // 12
    text.insert(0,
                "vt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\n");
    const ObjReadResult result = ReadObjText(text);
    ASSERT_TRUE(result.mesh) << result.error;
    EXPECT_EQ(result.mesh->triangles.size(), 8u + 11u + 15u + 10u + 12u);
    EXPECT_EQ(Vertices(*result.mesh, 8 + 11 + 14), (Corners{30, 35, 34}));
    EXPECT_EQ(Vertices(*result.mesh, 8 + 11 + 15 + 9), (Corners{1, 11, 12}));
}
