#include "mesh/MeshParts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

TEST(MeshPartsTest, GroupStatementsNameEachTriangleInFileOrder) {
    const MeshParts parts =
        ReadObjPartGroups("v 0 0 0\nf 1 2 3\ng trunk skin\r\nf 1 2 3 4\n  g\tright_arm\n"
                          "f 1/1/1 2/2/2 3/3/3 4/4/4 5/5/5\ngroup x\nfo 1 2 3\ng trunk\nf 1 2 3\n",
                          7);
    ASSERT_EQ(parts.names, (std::vector<std::string>{"default", "trunk", "right_arm"}));
    EXPECT_EQ(parts.triangleParts, (std::vector<uint32_t>{0, 1, 1, 2, 2, 2, 1}));

    // Faces that do not come to the mesh's count, or no group at all: no parts.
    EXPECT_TRUE(ReadObjPartGroups("g a\nf 1 2 3\n", 2).empty());
    EXPECT_TRUE(ReadObjPartGroups("f 1 2 3\n", 1).empty());
    EXPECT_TRUE(ReadObjPartGroupsFromFile("/nonexistent/model.obj", 1).empty());
}

TEST(MeshPartsTest, FileScannedInPiecesGivesWhatTheWholeTextGives) {
    // Lines far longer than one piece of the scan, a name that spans pieces, a lone CR inside a
    // line (a blank, not a line end), `g` with no name, and a last face without a line break.
    std::string text = "v 0 0 0\r\ng " + std::string(200000, 'n') + "\r\nf 1 2 3\n# " +
                       std::string(150000, 'x') + "\nf";
    for (int corner = 0; corner < 70000; ++corner) {
        text += " 1";
    }
    text += "\ng\tleft_arm\rf 1 2 3\ng\r\nf 1 2 3 4\ng \nf 1 2 3";
    const uint32_t triangles = 1 + 69998 + 2 + 1;
    const MeshParts whole = ReadObjPartGroups(text, triangles);
    ASSERT_EQ(whole.names,
              (std::vector<std::string>{"default", std::string(200000, 'n'), "left_arm"}));
    ASSERT_EQ(whole.triangleParts.size(), triangles);
    EXPECT_EQ(whole.triangleParts[triangles - 4], 1u); // the `g left_arm` line holds no face
    EXPECT_EQ(whole.triangleParts[triangles - 3], 0u); // `g` with no name: "default"
    EXPECT_EQ(whole.triangleParts[triangles - 1], 0u);

    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("ruvo-mesh-parts-" + std::to_string(::getpid()) + ".obj");
    std::ofstream(file, std::ios::binary) << text;
    const MeshParts scanned = ReadObjPartGroupsFromFile(file.string(), triangles);
    EXPECT_EQ(scanned.names, whole.names);
    EXPECT_EQ(scanned.triangleParts, whole.triangleParts);
    EXPECT_TRUE(ReadObjPartGroupsFromFile(file.string(), triangles - 1).empty());
    std::filesystem::remove(file);
}
