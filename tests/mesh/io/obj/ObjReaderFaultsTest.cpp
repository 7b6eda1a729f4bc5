#include "support/ObjTestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

std::string Refusal(const std::string& text) {
    testing::internal::CaptureStderr();
    const ObjReadResult result = ReadObjText(text);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(result.mesh) << text;
    EXPECT_EQ(err, ""); // the caller reports the refusal, once
    return result.error;
}

} // namespace

TEST(ObjReaderFaults, NegativeIndicesCountBackFromWhatWasRead) {
    const ObjReadResult result = ReadObjText(
        kTriangle + "vt 0 0\nvn 0 0 1\nf -3/-1/-1 -2/1/1 -1/1/1\n" + "v 5 5 5\nf -1 -2 -3\n");
    ASSERT_TRUE(result.mesh) << result.error;
    // The mesh counts from 0 where the file counts from 1.
    const MeshTriangle& first = result.mesh->triangles[0];
    EXPECT_EQ(first.position[0], 0u);
    EXPECT_EQ(first.position[2], 2u);
    EXPECT_EQ(first.texCoord[0], 0u);
    EXPECT_EQ(first.normal[0], 0u);
    const MeshTriangle& second = result.mesh->triangles[1];
    EXPECT_EQ(second.position[0], 3u);
    EXPECT_EQ(second.position[2], 1u);
}

TEST(ObjReaderFaults, IndicesNamingNoElementRefuseTheFile) {
    EXPECT_EQ(Refusal(kTriangle + "f 1 2 3\n\nf 0 1 2\n"),
              "Read Obj failed: line 6 of \"model.obj\" names vertex 0, but indices start at 1.");
    EXPECT_EQ(Refusal(kTriangle + "f 1 2 4\n"),
              "Read Obj failed: line 4 of \"model.obj\" names vertex 4, but the file has 3 "
              "vertices.");
    EXPECT_EQ(Refusal("v 0 0 0\nf -1 -2 -1\nv 1 1 1\n"),
              "Read Obj failed: line 2 of \"model.obj\" names vertex -2, but only 1 vertices "
              "come before it.");
    EXPECT_EQ(Refusal(kTriangle + "f 1/1 2/1 3/1\n"),
              "Read Obj failed: line 4 of \"model.obj\" names texture coordinate 1, but the file "
              "has 0 texture coordinates.");
    EXPECT_EQ(Refusal(kTriangle + "vn 0 0 1\nf 1//1 2//2 3//1\n"),
              "Read Obj failed: line 5 of \"model.obj\" names normal 2, but the file has 1 "
              "normals.");
    EXPECT_NE(Refusal(kTriangle + "f 99999999999999999999 1 2\n").find("but the file has 3"),
              std::string::npos);
    // A face without corners still makes a triangle, which then names vertex 0.
    EXPECT_NE(Refusal(kTriangle + "f\n").find("names vertex 0"), std::string::npos);
}

TEST(ObjReaderFaults, UnknownVertexStatementsAreRefused) {
    testing::internal::CaptureStdout();
    const ObjReadResult result = ReadObjText(kTriangle + "vp 0.5 0.5\nf 1 2 3\n");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(result.mesh);
    EXPECT_EQ(result.error, "glmFirstPass(): Unknown token \"vp\".");
    EXPECT_EQ(out, "");
}

TEST(ObjReaderFaults, MissingAndExtraCoordinatesStayOnTheirLine) {
    const ObjReadResult result =
        ReadObjText("v 1 2\nv 3 4 5 6\nvt 0.5\nv\nvn 1e60 -1e60 1e-60\nf 1 2 3\n");
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    ASSERT_EQ(mesh.positions.size(), 3u);
    EXPECT_EQ(mesh.positions, (std::vector<Vec3f>{{1, 2, 0}, {3, 4, 5}, {0, 0, 0}}));
    EXPECT_FLOAT_EQ(mesh.texCoords[0][0], 0.5f);
    EXPECT_FLOAT_EQ(mesh.texCoords[0][1], 0.0f);
    EXPECT_TRUE(std::isinf(mesh.normals[0].x) && mesh.normals[0].x > 0);
    EXPECT_TRUE(std::isinf(mesh.normals[0].y) && mesh.normals[0].y < 0);
    EXPECT_EQ(mesh.normals[0].z, 0.0f);
}

TEST(ObjReaderFaults, FilesOnDisk) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("ruvo-obj-reader-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "t.mtl") << "newmtl red\nKd 1 0 0\n";
    std::ofstream(folder / "t.obj") << "mtllib t.mtl\n" << kTriangle << "usemtl red\nf 1 2 3\n";
    std::vector<double> fractions;
    const ObjReadResult result = ReadObjWithProgress(
        (folder / "t.obj").string(), [&fractions](double f) { fractions.push_back(f); });
    ASSERT_TRUE(result.mesh) << result.error;
    EXPECT_EQ(result.mesh->materials.size(), 2u);
    EXPECT_EQ(result.mesh->groups.back().material, 1u);
    ASSERT_FALSE(fractions.empty());
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_EQ(fractions.back(), 1.0);

    const std::string missing = (folder / "none.obj").string();
    testing::internal::CaptureStderr();
    const ObjReadResult absent = ReadObj(missing);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(absent.mesh);
    EXPECT_EQ(absent.error, "Read Obj failed: can't open data file \"" + missing + "\".");
    // A folder is not a model.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadObj(folder.string()).mesh);
    testing::internal::GetCapturedStderr();
    std::filesystem::remove_all(folder);
}
