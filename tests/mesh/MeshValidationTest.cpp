#include "support/ObjTestText.h"

#include "mesh/MeshValidation.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace {

constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();

// Two triangles over four positions in two groups, with normals, texture coordinates, colours,
// facet normals and materials: every array a mesh can hold, each entry linked.
Mesh Square() {
    Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.normals = {{0, 0, 1}};
    mesh.texCoords = {{0, 0}, {1, 1}};
    mesh.colors.assign(4, {1, 0, 0, 1});
    MeshTriangle first;
    first.position = {0, 1, 2};
    first.normal = {0, 0, 0};
    first.texCoord = {0, 1, 1};
    MeshTriangle second;
    second.position = {0, 2, 3}; // no normal, no texture coordinate
    mesh.triangles = {first, second};
    mesh.facetNormals = {{0, 0, 1}, {0, 0, 1}};
    mesh.materials.resize(2);
    mesh.groups.resize(2);
    mesh.groups[0].triangleIndices = {0};
    mesh.groups[1].name = "skin";
    mesh.groups[1].triangleIndices = {1};
    mesh.groups[1].material = 1;
    return mesh;
}

// The message Validate gives for the square after `breach`; empty when it finds nothing wrong.
std::string Breach(const std::function<void(Mesh&)>& breach,
                   MeshNumbers numbers = MeshNumbers::Finite) {
    Mesh mesh = Square();
    breach(mesh);
    const Status status = Validate(mesh, numbers);
    return status ? std::string() : status.message();
}

} // namespace

TEST(MeshValidation, TheSquareIsValidAndEachBreachIsNamed) {
    EXPECT_EQ(Breach([](Mesh&) {}), "");
    // Indices: one past the end is refused; "none" is allowed for normals and texture
    // coordinates but never for a position.
    EXPECT_EQ(Breach([](Mesh& m) { m.triangles[1].position[2] = 4; }),
              "face 2 names a vertex that does not exist");
    EXPECT_EQ(Breach([](Mesh& m) { m.triangles[0].position[0] = kNoIndex; }),
              "face 1 names a vertex that does not exist");
    EXPECT_EQ(Breach([](Mesh& m) { m.triangles[0].normal[1] = 1; }),
              "face 1 names a normal that does not exist");
    EXPECT_EQ(Breach([](Mesh& m) { m.triangles[1].texCoord[0] = 2; }),
              "face 2 names a texture coordinate that does not exist");
    EXPECT_EQ(Breach([](Mesh& m) { m.normals.clear(); }),
              "face 1 names a normal that does not exist");
    // Arrays that go with others.
    EXPECT_EQ(Breach([](Mesh& m) { m.colors.pop_back(); }),
              "the mesh has 3 colours for 4 vertices");
    EXPECT_EQ(Breach([](Mesh& m) { m.colors.clear(); }), "");
    EXPECT_EQ(Breach([](Mesh& m) { m.facetNormals.pop_back(); }),
              "the mesh has 1 face normals for 2 faces");
    EXPECT_EQ(Breach([](Mesh& m) { m.facetNormals.clear(); }), "");
    // Groups and materials.
    EXPECT_EQ(Breach([](Mesh& m) { m.groups[1].material = 2; }),
              "group \"skin\" names a material that does not exist");
    EXPECT_EQ(Breach([](Mesh& m) { m.materials.clear(); }),
              "group \"skin\" names a material that does not exist");
    EXPECT_EQ(Breach([](Mesh& m) {
                  m.materials.clear();
                  m.groups[1].material = 0; // a Wavefront model without a library
              }),
              "");
    EXPECT_EQ(Breach([](Mesh& m) { m.groups[1].triangleIndices.push_back(0); }),
              "group \"skin\" names a face that does not exist or is in another group");
    EXPECT_EQ(Breach([](Mesh& m) { m.groups[1].triangleIndices = {2}; }),
              "group \"skin\" names a face that does not exist or is in another group");
    EXPECT_EQ(Breach([](Mesh& m) { m.groups[1].triangleIndices.clear(); }),
              "face 2 is in no group");
    // One group of every face (most models): in order or not, but each face once.
    const auto oneGroup = [](std::vector<uint32_t> faces, uint32_t material) {
        return [faces, material](Mesh& m) {
            m.groups.resize(1);
            m.groups[0].name = "skin";
            m.groups[0].triangleIndices = faces;
            m.groups[0].material = material;
        };
    };
    EXPECT_EQ(Breach(oneGroup({0, 1}, 1)), "");
    EXPECT_EQ(Breach(oneGroup({1, 0}, 1)), "");
    EXPECT_EQ(Breach(oneGroup({0, 0}, 1)),
              "group \"skin\" names a face that does not exist or is in another group");
    EXPECT_EQ(Breach(oneGroup({0, 2}, 1)),
              "group \"skin\" names a face that does not exist or is in another group");
    EXPECT_EQ(Breach(oneGroup({0}, 1)), "face 2 is in no group");
    EXPECT_EQ(Breach(oneGroup({0, 1}, 2)), "group \"skin\" names a material that does not exist");
}

TEST(MeshValidation, NumbersMustBeFiniteUnlessTakenAsWritten) {
    const auto nanPosition = [](Mesh& m) { m.positions[3].y = kNotANumber; };
    EXPECT_EQ(Breach(nanPosition), "vertex 4 has a coordinate that is not a number");
    EXPECT_EQ(Breach(nanPosition, MeshNumbers::AsWritten), "");
    EXPECT_EQ(Breach([](Mesh& m) { m.normals[0].z = std::numeric_limits<float>::infinity(); }),
              "normal 1 is not a number");
    EXPECT_EQ(Breach([](Mesh& m) { m.facetNormals[1].x = kNotANumber; }),
              "the normal of face 2 is not a number");
    EXPECT_EQ(Breach([](Mesh& m) { m.colors[2][3] = kNotANumber; }),
              "vertex 3 has a colour that is not a number");
    EXPECT_EQ(Breach([](Mesh& m) { m.texCoords[1][0] = kNotANumber; }),
              "texture coordinate 2 is not a number");
    // Taken as written, the links are still checked.
    EXPECT_EQ(Breach(
                  [](Mesh& m) {
                      m.positions[0].x = kNotANumber;
                      m.triangles[0].position[0] = 9;
                  },
                  MeshNumbers::AsWritten),
              "face 1 names a vertex that does not exist");
}

// The Wavefront reader hands on what Validate accepts, the file's own numbers included, with
// every corner counting from 0 and "none" where a face gives no normal or texture coordinate.
TEST(MeshValidation, TheWavefrontReaderHandsOnValidMeshes) {
    const ObjReadResult result = ReadObjText("v 0 0 0\nv 1 0 0\nv 1 nan 0\nvn 0 0 1\nvt 0 0\n"
                                             "f 1//1 2//1 3//1\nusemtl a\nf 1/1 2/1 3/1\n"
                                             "usemtl b\nusemtl a\nf -3 -2 -1\n");
    ASSERT_TRUE(result.mesh) << result.error;
    const Mesh& mesh = *result.mesh;
    EXPECT_TRUE(Validate(mesh, MeshNumbers::AsWritten)) << Validate(mesh).message();
    EXPECT_EQ(Validate(mesh).message(), "vertex 3 has a coordinate that is not a number");
    EXPECT_EQ(mesh.triangles[0].texCoord, (std::array<uint32_t, 3>{kNoIndex, kNoIndex, kNoIndex}));
    EXPECT_EQ(mesh.triangles[1].normal, (std::array<uint32_t, 3>{kNoIndex, kNoIndex, kNoIndex}));
    EXPECT_EQ(mesh.triangles[2].position, (std::array<uint32_t, 3>{0, 1, 2}));
    // "b" has no face but stays a group, in file order after "a".
    ASSERT_EQ(mesh.groups.size(), 3u);
    EXPECT_EQ(mesh.groups[2].name, "b");
    EXPECT_TRUE(mesh.groups[2].triangleIndices.empty());
    EXPECT_EQ(mesh.groups[1].triangleIndices, (std::vector<uint32_t>{1, 2}));
}

// A scan's triangles are checked on every core; the first faulty one in file order is named,
// wherever the parts are cut.
TEST(MeshValidation, TheFirstFaultyTriangleOfALargeMeshIsNamed) {
    constexpr std::size_t kTriangles = 40000;
    Mesh mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.triangles.resize(kTriangles);
    mesh.groups.resize(1);
    for (std::size_t t = 0; t < kTriangles; ++t) {
        mesh.triangles[t].position = {0, 1, 2};
        mesh.groups[0].triangleIndices.push_back(static_cast<uint32_t>(t));
    }
    ASSERT_TRUE(Validate(mesh));
    mesh.triangles[kTriangles - 1].normal[2] = 0;
    EXPECT_EQ(Validate(mesh).message(), "face 40000 names a normal that does not exist");
    mesh.triangles[kTriangles / 2 + 1].texCoord[0] = 5;
    EXPECT_EQ(Validate(mesh).message(),
              "face 20002 names a texture coordinate that does not exist");
    mesh.triangles[3].position[1] = 3;
    EXPECT_EQ(Validate(mesh).message(), "face 4 names a vertex that does not exist");
}
