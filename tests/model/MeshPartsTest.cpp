#include "model/MeshParts.h"

#include <gtest/gtest.h>

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
