#include "base/ModelFolder.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

TEST(ModelFolderTest, NamesThatClimbOutOrAreAbsoluteResolveToNothing) {
    const ModelFolder folder = ModelFolder::Of("models/body/model.gltf");
    EXPECT_EQ(folder.Path(), "models/body/");
    EXPECT_EQ(folder.Resolve("x.bin"), "models/body/x.bin");
    EXPECT_EQ(folder.Resolve("sub\\.\\x.bin"), "models/body/sub/x.bin");
    EXPECT_EQ(folder.Resolve("sub/../x.bin"), "models/body/x.bin");
    EXPECT_EQ(folder.Resolve("../../../secret/x.bin"), std::nullopt);
    EXPECT_EQ(folder.Resolve("sub/../../x.bin"), std::nullopt);
    EXPECT_EQ(folder.Resolve("/etc/passwd"), std::nullopt);
    EXPECT_EQ(folder.Resolve("\\etc\\passwd"), std::nullopt);
    EXPECT_EQ(folder.Resolve("C:/Windows/win.ini"), std::nullopt);
    EXPECT_EQ(folder.Resolve(""), std::nullopt);
    EXPECT_EQ(folder.Resolve("."), std::nullopt);
    EXPECT_EQ(ModelFolder::Of("model.obj").Resolve("a.mtl"), "a.mtl");
}

TEST(ModelFolderTest, OpensOnlyRegularFilesThatStayInsideTheFolder) {
    TemporaryFolder root;
    std::filesystem::create_directories(root.path() / "model" / "sub");
    WriteText(root.File("secret.bin"), "secret");
    WriteText(root.File("model/sub/x.bin"), "data");
    const ModelFolder folder = ModelFolder::Of(root.File("model/body.gltf"));
    std::string reason;

    const std::optional<RegularFile> inside = folder.Open("sub/x.bin", reason);
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->ReadWhole(), "data");

    EXPECT_FALSE(folder.Open("../secret.bin", reason));
    EXPECT_EQ(reason, "it lies outside the model's folder");

    // A link inside the folder that points out of it is refused as well.
    ASSERT_EQ(::symlink("../secret.bin", root.File("model/link.bin").c_str()), 0);
    reason.clear();
    EXPECT_FALSE(folder.Open("link.bin", reason));
    EXPECT_EQ(reason, "it lies outside the model's folder");

    ASSERT_EQ(::mkfifo(root.File("model/pipe.bin").c_str(), 0600), 0);
    EXPECT_FALSE(folder.Open("pipe.bin", reason)); // returns at once, never waits for a writer
    EXPECT_EQ(reason, "not a regular file");
    EXPECT_FALSE(folder.Open("sub", reason));
    EXPECT_FALSE(folder.Open("missing.bin", reason));
    EXPECT_EQ(reason, "No such file or directory");
}
