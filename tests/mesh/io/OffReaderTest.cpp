#include "mesh/io/MeshImport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

MeshImportResult ReadOffText(const std::string& text) {
    return ImportMeshFromMemory(text, "model.off");
}

// A square pyramid's square base as one face of `corners` corners on a circle, plus the apex.
std::string PolygonOff(int corners) {
    std::string text = "OFF\n" + std::to_string(corners + 1) + " 2 0\n";
    for (int c = 0; c < corners; ++c) {
        text += std::to_string(c) + " " + std::to_string(c * c % 7) + " 0\n";
    }
    text += "0 0 5\n" + std::to_string(corners);
    for (int c = 0; c < corners; ++c) {
        text += " " + std::to_string(c);
    }
    text += "\n3 0 1 " + std::to_string(corners) + "\n";
    return text;
}

} // namespace

TEST(OffReader, ReadsFacesOfManyCornersAsFans) {
    for (int corners : {4, 10, 40}) {
        SCOPED_TRACE(corners);
        const MeshImportResult result = ReadOffText(PolygonOff(corners));
        ASSERT_NE(result.mesh, nullptr) << result.error;
        EXPECT_EQ(result.mesh->triangles.size(), static_cast<uint32_t>(corners - 2 + 1));
        // The fan keeps the polygon's first corner and its winding.
        const MeshTriangle& last = result.mesh->triangles[corners - 3];
        EXPECT_EQ(last.position[0], 0u);
        EXPECT_EQ(last.position[1], static_cast<uint32_t>(corners - 2));
        EXPECT_EQ(last.position[2], static_cast<uint32_t>(corners - 1));
    }
}

TEST(OffReader, RefusesIndicesOutsideTheVertices) {
    for (const char* face : {"3 0 1 -1", "3 0 1 3", "3 0 1 4294967296", "3 0 1 1.5"}) {
        SCOPED_TRACE(face);
        const MeshImportResult result =
            ReadOffText(std::string("OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n") + face + "\n");
        EXPECT_EQ(result.mesh, nullptr);
        EXPECT_TRUE(result.error.find("names a vertex that does not exist") != std::string::npos ||
                    result.error.find("not a whole number") != std::string::npos)
            << result.error;
    }
}

TEST(OffReader, RefusesCountsTheFileCannotHoldAtOnce) {
    // 44 bytes that claim 200 million faces used to take 3 GB and 11 s before failing.
    const std::string text = "OFF\n3 200000000 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";
    for (const std::string& claim : {text, std::string("OFF\n2000000000 1 0\n0 0 0\n"),
                                     std::string("OFF 18446744073709551615 1 0\n")}) {
        const MeshImportResult result = ReadOffText(claim);
        EXPECT_EQ(result.mesh, nullptr);
        EXPECT_FALSE(result.error.empty());
    }
    EXPECT_NE(ReadOffText(text).error.find("shorter than its vertex and face counts say"),
              std::string::npos);
}

TEST(OffReader, ReadsCommentsColoursTextureCoordinatesAndCountsOnTheKeywordLine) {
    const MeshImportResult colored = ReadOffText("COFF 3 1 0 # counts on the keyword's line\n"
                                                 "# a comment line\n\n"
                                                 "0 0 0 255 0 0 255\n1 0 0 0 255 0 255\n"
                                                 "0 1 0 0 0 255 255 # blue\n"
                                                 "3 0 1 2 10 20 30\n");
    ASSERT_NE(colored.mesh, nullptr) << colored.error;
    ASSERT_EQ(colored.mesh->colors.size(), 3u);
    EXPECT_EQ(colored.mesh->colors[0][0], 1.0f);
    EXPECT_EQ(colored.mesh->colors[0][1], 0.0f);
    EXPECT_EQ(colored.mesh->colors[2][2], 1.0f);

    const MeshImportResult textured = ReadOffText(
        "STNOFF\n3 1 0\n0 0 0 0 0 1 0.5 0.25\n1 0 0 0 0 1 1 0\n0 1 0 0 0 1 0 1\n3 0 1 2\n");
    ASSERT_NE(textured.mesh, nullptr) << textured.error;
    ASSERT_EQ(textured.mesh->texCoords.size(), 3u);
    EXPECT_EQ(textured.mesh->texCoords[0][0], 0.5f);
    EXPECT_EQ(textured.mesh->texCoords[0][1], 0.25f);
    EXPECT_EQ(textured.mesh->positions[1].x, 1.0f);
}
