#include "base/FileAccess.h"
#include "base/RegularFile.h"
#include "base/Sha256.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

struct stat Examine(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

int EntryCount(const std::filesystem::path& folder) {
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++entries;
    }
    return entries;
}

// Limits the size of any file this process writes, as a nearly full disk would; a write beyond it
// fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

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

// A scene and its material library are one output: the library used to be replaced first, so a
// scene that could not be written left a new library beside the old scene.
TEST(FileAccessTest, FilesReplacedTogetherStayAsTheyWereWhenOneIsRefused) {
    TemporaryFolder folder;
    const std::string library = folder.File("scene.mtl");
    const std::string locked = folder.File("locked.obj");
    WriteText(library, "old library");
    WriteText(locked, "old scene");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    const std::string fifo = folder.File("pipe.obj");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string full = folder.File("full.obj");
    ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
    const std::string subfolder = folder.File("folder.obj");
    ASSERT_EQ(::mkdir(subfolder.c_str(), 0700), 0);
    const int entries = EntryCount(folder.path());

    const std::pair<std::string, int> refused[] = {{locked, kFileReadOnly},
                                                   {fifo, kFileNotRegular},
                                                   {full, kFileNotRegular},
                                                   {subfolder, kFileNotRegular}};
    for (const auto& [scene, error] : refused) {
        SCOPED_TRACE(scene);
        std::size_t failed = 9;
        EXPECT_EQ(ReplaceFilesTogether({{library, "new library"}, {scene, "new scene"}}, &failed),
                  error);
        EXPECT_EQ(failed, 1u);
        EXPECT_EQ(FileText(library), "old library");
    }
    EXPECT_EQ(FileText(locked), "old scene");
    EXPECT_TRUE(S_ISFIFO(Examine(fifo).st_mode));
    EXPECT_TRUE(S_ISLNK(Examine(full).st_mode));
    EXPECT_EQ(EntryCount(folder.path()), entries) << "no temporary file is left";
}

TEST(FileAccessTest, FilesReplacedTogetherStayAsTheyWereWhenTheDiskFillsOnTheLast) {
    TemporaryFolder folder;
    const std::string library = folder.File("scene.mtl");
    const std::string scene = folder.File("scene.obj");
    WriteText(library, "old library");
    WriteText(scene, "old scene");
    const std::string large(64 * 1024, 'v');
    {
        const FileSizeLimit limit(16 * 1024);
        std::size_t failed = 9;
        EXPECT_EQ(ReplaceFilesTogether({{library, "new library"}, {scene, large}}, &failed), EFBIG);
        EXPECT_EQ(failed, 1u);
    }
    EXPECT_EQ(FileText(library), "old library");
    EXPECT_EQ(FileText(scene), "old scene");
    EXPECT_EQ(EntryCount(folder.path()), 2) << "no temporary file is left";

    // A file in a folder that does not exist fails once the first one's copy is written.
    std::size_t failed = 9;
    EXPECT_EQ(
        ReplaceFilesTogether({{library, "new"}, {folder.File("gone/scene.obj"), "x"}}, &failed),
        ENOENT);
    EXPECT_EQ(failed, 1u);
    EXPECT_EQ(FileText(library), "old library");
    EXPECT_EQ(EntryCount(folder.path()), 2);
}

TEST(FileAccessTest, FilesReplacedTogetherRefuseTwoNamesOfOneFile) {
    TemporaryFolder folder;
    const std::string scene = folder.File("scene.obj");
    WriteText(scene, "old scene");
    const std::string linked = folder.File("linked.mtl");
    ASSERT_EQ(::symlink("scene.obj", linked.c_str()), 0);
    const std::string hard = folder.File("hard.mtl");
    ASSERT_EQ(::link(scene.c_str(), hard.c_str()), 0);
    for (const std::string& library : {linked, hard}) {
        EXPECT_EQ(ReplaceFilesTogether({{scene, "new scene"}, {library, "new library"}}),
                  kFilesShareTarget);
        EXPECT_EQ(FileText(scene), "old scene");
    }
    // Also when neither exists yet: the library's contents would have become the scene.
    const std::string dangling = folder.File("dangling.mtl");
    ASSERT_EQ(::symlink((folder.path() / "new.obj").c_str(), dangling.c_str()), 0);
    EXPECT_EQ(ReplaceFilesTogether({{folder.File("./new.obj"), "scene"}, {dangling, "library"}}),
              kFilesShareTarget);
    EXPECT_EQ(EntryCount(folder.path()), 4);
}

TEST(FileAccessTest, FilesReplacedTogetherFollowLinksAndKeepPermissions) {
    TemporaryFolder folder;
    const std::string scene = folder.File("scene.obj");
    WriteText(scene, "old scene");
    ASSERT_EQ(::chmod(scene.c_str(), 0640), 0);
    const std::string library = folder.File("real.mtl");
    const std::string libraryLink = folder.File("scene.mtl");
    ASSERT_EQ(::symlink("real.mtl", libraryLink.c_str()), 0);
    const std::string copy = folder.File("copy.obj");
    ASSERT_EQ(::link(scene.c_str(), copy.c_str()), 0);

    EXPECT_EQ(ReplaceFilesTogether({{scene, "new scene"}, {libraryLink, "new library"}}), 0);
    EXPECT_EQ(FileText(scene), "new scene");
    EXPECT_EQ(FileText(copy), "new scene") << "a hard-linked file is rewritten in place";
    EXPECT_EQ(FileText(library), "new library");
    EXPECT_TRUE(S_ISLNK(Examine(libraryLink).st_mode));
    EXPECT_EQ(Examine(scene).st_mode & 07777, 0640u);
    EXPECT_EQ(EntryCount(folder.path()), 4);
}

namespace {

std::string HashInPieces(const std::string& bytes, std::size_t piece) {
    Sha256 hash;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        hash.Update(std::string_view(bytes).substr(at, piece));
    }
    return hash.FinishHex();
}

// Bytes that differ from block to block, so that a block hashed twice or skipped shows.
std::string VariedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    uint32_t value = 2463534242u;
    for (char& byte : bytes) {
        value ^= value << 13;
        value ^= value >> 17;
        value ^= value << 5;
        byte = static_cast<char>(value);
    }
    return bytes;
}

} // namespace

// The FIPS 180 examples, whole and in pieces that cut blocks and the padding anywhere.
TEST(Sha256Test, DigestsAreThoseOfTheStandardsExamples) {
    const std::string million(1000000, 'a');
    EXPECT_EQ(HashInPieces("", 1),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HashInPieces("abc", 1),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the block, the padding takes a second one.
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    for (const std::size_t piece : {1, 7, 55, 56}) {
        EXPECT_EQ(HashInPieces(twoBlocks, piece),
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    }
    for (const std::size_t piece : {63, 64, 1000, 1000000}) {
        EXPECT_EQ(HashInPieces(million, piece),
                  "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    }
}

// A file is hashed in blocks through its descriptor; a file that shrank since it was opened has
// no digest.
TEST(Sha256Test, FileDigestIsThatOfItsBytesAndNoneWhenItShrank) {
    TemporaryFolder folder;
    const std::string path = folder.File("model.bin");
    const std::string bytes = VariedBytes((std::size_t{1} << 20) * 2 + 123);
    WriteText(path, bytes);
    std::optional<RegularFile> file = RegularFile::Open(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(Sha256HexOfFile(*file), Sha256Hex(bytes));
    ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
    EXPECT_FALSE(Sha256HexOfFile(*file));
}

// A tool that writes a file in place and sets its modification time back (a copy that keeps
// times, a careless script) leaves size and time as they were; the status change time still
// moves, so the reader knows the bytes it hashes are not those it read.
TEST(Sha256Test, FileRewrittenInPlaceWithItsTimeSetBackIsSeenAsChanged) {
    TemporaryFolder folder;
    const std::string path = folder.File("model.obj");
    WriteText(path, "v 0 0 0\n");
    std::optional<RegularFile> file = RegularFile::Open(path);
    ASSERT_TRUE(file);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    EXPECT_TRUE(file->Unchanged());
    // Past the clock tick the file system stamps its times with.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    WriteText(path, "v 9 9 9\n");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_EQ(after.st_size, before.st_size);
    ASSERT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_FALSE(file->Unchanged());
}
