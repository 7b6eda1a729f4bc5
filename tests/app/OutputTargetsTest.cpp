#include "support/RenderTestSupport.h"

#include "case/Case.h"
#include "case/Trajectory.h"
#include "casefile/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What may stand where an output goes and must not be replaced, with the reason the program
// gives for each.
struct HostileTarget {
    std::string stem;
    std::string reason;
};

const HostileTarget kTargets[] = {{"folder", "not a regular file"},
                                  {"pipe", "not a regular file"},
                                  {"locked", "read-only"},
                                  {"full", "not a regular file"}};

void MakeTarget(const std::string& stem, const fs::path& path) {
    if (stem == "folder") {
        ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    } else if (stem == "pipe") {
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    } else if (stem == "locked") {
        std::ofstream(path, std::ios::binary) << "evidence";
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    } else {
        ASSERT_EQ(::symlink("/dev/full", path.c_str()), 0);
    }
}

void ExpectTargetAsItWas(const std::string& stem, const fs::path& path) {
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    if (stem == "folder") {
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_TRUE(fs::is_empty(path));
    } else if (stem == "pipe") {
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
    } else if (stem == "locked") {
        EXPECT_EQ(Contents(path), "evidence");
        EXPECT_EQ(info.st_mode & 07777, 0444u);
    } else {
        ASSERT_TRUE(S_ISLNK(info.st_mode));
        EXPECT_EQ(fs::read_symlink(path).string(), "/dev/full");
    }
}

} // namespace

// Every command that writes an output, onto a folder, a FIFO, a read-only file and a link to
// /dev/full: exit status 1, one line that says why in words (the scene and the report used to
// say "Unknown error 65537"), the target as it was, and no stray material library.
TEST(OutputTargets, CommandsOntoWhatCannotBeReplacedFailInWordsAndLeaveIt) {
    TestModels models;
    {
        Case theCase;
        theCase.body.SetHeight(1.8);
        // The report's budget is not what this test reads: a few draws keep it quick.
        ASSERT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        Trajectory trajectory;
        trajectory.exited = true;
        trajectory.in = {0.05, 1.2, 0.3};
        trajectory.out = {0.05, 1.2, 0.0};
        theCase.trajectories.push_back(trajectory);
        ASSERT_TRUE(DataFile::Write(theCase, (models.Root() / "case.txt").string()).ok());
    }
    const std::pair<std::string, std::string> commands[] = {
        {"--export-scene case.txt --output", ".glb"},
        {"--export-scene case.txt --output", ".obj"},
        {"--report case.txt --output", ".json"},
        {"--render case.txt --size 64x48 --output", ".jpg"},
        {"--rewrite case.txt", ".txt"},
    };
    for (const auto& [command, extension] : commands) {
        for (const HostileTarget& target : kTargets) {
            const std::string name = target.stem + extension;
            SCOPED_TRACE(command + " " + name);
            const fs::path path = models.Root() / name;
            MakeTarget(target.stem, path);
            std::string errors;
            EXPECT_EQ(RunRuvo(models.Root(), command + " " + name, errors, 120), 1) << errors;
            EXPECT_TRUE(errors.starts_with("ruvo: ")) << errors;
            EXPECT_NE(errors.find(name), std::string::npos) << errors;
            EXPECT_NE(errors.find(target.reason), std::string::npos) << errors;
            EXPECT_EQ(errors.find("Unknown error"), std::string::npos) << errors;
            EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
            ExpectTargetAsItWas(target.stem, path);
            EXPECT_FALSE(fs::exists(models.Root() / (target.stem + ".mtl")))
                << "no stray material library";
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }
}
