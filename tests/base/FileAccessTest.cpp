#include "base/FileAccess.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct stat Examine(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

} // namespace

TEST(FileAccessTest, SavingThroughSymbolicLinksWritesTheFileTheyName) {
    TemporaryFolder folder;
    const std::string file = folder.File("case.txt");
    WriteText(file, "old");
    const std::string link = folder.File("link.txt");
    const std::string linkToLink = folder.File("link2.txt");
    ASSERT_EQ(::symlink("case.txt", link.c_str()), 0); // relative to the link's folder
    ASSERT_EQ(::symlink(link.c_str(), linkToLink.c_str()), 0);

    EXPECT_EQ(ReplaceFileContents(linkToLink, "new"), 0);
    EXPECT_EQ(FileText(file), "new");
    EXPECT_TRUE(S_ISLNK(Examine(link).st_mode));
    EXPECT_TRUE(S_ISLNK(Examine(linkToLink).st_mode));

    // A link to a file that does not exist yet creates that file.
    const std::string dangling = folder.File("dangling.txt");
    ASSERT_EQ(::symlink("created.txt", dangling.c_str()), 0);
    EXPECT_EQ(ReplaceFileContents(dangling, "made"), 0);
    EXPECT_EQ(FileText(folder.File("created.txt")), "made");
    EXPECT_TRUE(S_ISLNK(Examine(dangling).st_mode));

    // A cycle of links is an error, not an endless loop.
    const std::string a = folder.File("a"), b = folder.File("b");
    ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
    EXPECT_EQ(ReplaceFileContents(a, "x"), ELOOP);
}

TEST(FileAccessTest, HardLinksModeAndReadOnlyFilesAreRespected) {
    TemporaryFolder folder;
    const std::string file = folder.File("case.txt");
    const std::string other = folder.File("other-name.txt");
    WriteText(file, "a longer old text");
    ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
    ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);

    EXPECT_EQ(ReplaceFileContents(file, "short"), 0);
    EXPECT_EQ(FileText(other), "short");
    EXPECT_EQ(Examine(file).st_ino, Examine(other).st_ino);
    EXPECT_EQ(Examine(file).st_mode & 07777, 0604u);

    // A file without write permission is refused and stays as it was, even for root.
    const std::string locked = folder.File("locked.txt");
    WriteText(locked, "evidence");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    EXPECT_EQ(ReplaceFileContents(locked, "overwritten"), kFileReadOnly);
    EXPECT_EQ(FileText(locked), "evidence");
    EXPECT_EQ(FileErrorText(kFileReadOnly), "the file is read-only");

    // Nothing is left beside the targets.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 3);
}

TEST(FileAccessTest, DevicesFifosAndFoldersAreNeitherReplacedNorWaitedFor) {
    TemporaryFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string contents;
    // Without the non-blocking open these would wait forever for a writer or a reader.
    EXPECT_EQ(ReadWholeFile(fifo, contents), kFileNotRegular);
    EXPECT_EQ(ReplaceFileContents(fifo, "x"), kFileNotRegular);
    EXPECT_TRUE(S_ISFIFO(Examine(fifo).st_mode));

    EXPECT_EQ(ReadWholeFile("/dev/zero", contents), kFileNotRegular);
    EXPECT_EQ(ReadWholeFile(folder.path().string(), contents), EISDIR);
    if (::access("/dev/null", F_OK) == 0) {
        EXPECT_EQ(ReplaceFileContents("/dev/null", "x"), kFileNotRegular);
        EXPECT_TRUE(S_ISCHR(Examine("/dev/null").st_mode));
    }
    EXPECT_EQ(FileErrorText(kFileNotRegular), "not a regular file");
    EXPECT_EQ(FileErrorText(ENOENT), "No such file or directory");
}

TEST(FileAccessTest, ReadingStopsAtTheSizeLimit) {
    TemporaryFolder folder;
    const std::string file = folder.File("big.txt");
    WriteText(file, std::string(1000, 'x'));
    std::string contents = "stale";
    EXPECT_EQ(ReadWholeFile(file, contents, 999), kFileTooLarge);
    EXPECT_EQ(ReadWholeFile(file, contents, 1000), 0);
    EXPECT_EQ(contents.size(), 1000u);
}
