#include "mesh/io/ply/PlyReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {

Status PlyRead(const std::string& bytes, Mesh& mesh) {
    const MeshImportCallbacks callbacks;
    ImportProgress progress(callbacks);
    return ReadPly(bytes, mesh, progress);
}

std::string PlyRead(const std::string& bytes) {
    Mesh mesh;
    const Status status = PlyRead(bytes, mesh);
    return status ? std::string("read") : status.message();
}

template <typename T> std::string Bytes(T value) {
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// A binary little-endian triangle (vertices 0, 1, 2) whose face list has a float count.
std::string FloatCountTriangle(float count) {
    std::string bytes = "ply\nformat binary_little_endian 1.0\n"
                        "element vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
                        "element face 1\nproperty list float int vertex_indices\nend_header\n";
    for (float value : {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f}) {
        bytes += Bytes(value);
    }
    bytes += Bytes(count);
    for (int32_t corner : {0, 1, 2}) {
        bytes += Bytes(corner);
    }
    return bytes;
}

const std::string kAsciiTriangleHeader =
    "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
    "property float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n";
const std::string kAsciiVertices = "0 0 0\n1 0 0\n0 1 0\n";

} // namespace

// A list count of "nan" (or a float count that is NaN) once sized the list from NaN, which ended
// the process with std::length_error; a fraction or a count beyond the bytes left is refused too.
TEST(PlyReader, RefusesNanFaceCount) {
    const std::string truncated = "shorter than its header says, or not a number";
    for (const char* count : {"nan", "-nan", "2.5", "-1", "inf", "1e300"}) {
        SCOPED_TRACE(count);
        EXPECT_NE(
            PlyRead(kAsciiTriangleHeader + kAsciiVertices + count + " 0 1 2\n").find(truncated),
            std::string::npos);
    }
    EXPECT_EQ(PlyRead(kAsciiTriangleHeader + kAsciiVertices + "3 0 1 2\n"), "read");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float count : {nan, -nan, 1.5f, 4e9f}) {
        SCOPED_TRACE(count);
        EXPECT_NE(PlyRead(FloatCountTriangle(count)).find(truncated), std::string::npos);
    }
    EXPECT_EQ(PlyRead(FloatCountTriangle(3.0f)), "read");
}

// A corner of 1.5 was taken as vertex 1: a face names only whole vertex numbers.
TEST(PlyReader, RefusesACornerThatIsNotAWholeNumber) {
    EXPECT_EQ(PlyRead(kAsciiTriangleHeader + kAsciiVertices + "3 0 1.5 2\n"),
              "PLY face 1 names a vertex that does not exist");
}

// A face element that claims many faces of a byte each (an empty list) had room reserved for
// every one of them as a triangle of 40 bytes: no more triangles are reserved than the bytes left
// can hold.
TEST(PlyReader, ReservesNoMoreTrianglesThanTheBytesHold) {
    constexpr int kEmptyFaces = 200000;
    std::string bytes = "ply\nformat binary_little_endian 1.0\n"
                        "element vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
                        "element face " +
                        std::to_string(kEmptyFaces + 1) +
                        "\nproperty list uchar int vertex_indices\nend_header\n";
    for (float value : {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f}) {
        bytes += Bytes(value);
    }
    bytes += '\3' + Bytes(int32_t{0}) + Bytes(int32_t{1}) + Bytes(int32_t{2});
    bytes += std::string(kEmptyFaces, '\0');
    Mesh mesh;
    ASSERT_TRUE(PlyRead(bytes, mesh));
    EXPECT_EQ(mesh.triangles.size(), 1u);
    EXPECT_LE(mesh.triangles.capacity() * sizeof(MeshTriangle), 4 * bytes.size());
}

// A NaN colour or texture coordinate went on into drawing and into the exported scene's colours;
// they are checked as the coordinates are.
TEST(PlyReader, RefusesColoursAndTextureCoordinatesThatAreNotNumbers) {
    const std::string header = "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                               "property float y\nproperty float z\nproperty float red\n"
                               "property float green\nproperty float blue\nproperty float u\n"
                               "property float v\nelement face 1\n"
                               "property list uchar int vertex_indices\nend_header\n";
    const auto model = [&header](const std::string& second) {
        return header + "0 0 0 1 1 1 0 0\n" + second + "\n0 1 0 1 1 1 0 0\n3 0 1 2\n";
    };
    EXPECT_EQ(PlyRead(model("1 0 0 1 1 1 0 0")), "read");
    EXPECT_EQ(PlyRead(model("1 0 0 1 nan 1 0 0")), "vertex 2 has a colour that is not a number");
    EXPECT_EQ(PlyRead(model("1 0 0 1 1 -inf 0 0")), "vertex 2 has a colour that is not a number");
    EXPECT_EQ(PlyRead(model("1 0 0 1 1 1 0 nan")),
              "vertex 2 has a texture coordinate that is not a number");
}
