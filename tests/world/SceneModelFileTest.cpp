#include "world/SceneModelFile.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The case's own room has one triangle, the decoy in the folder the program runs in two: which
// one was read shows in the count.
constexpr const char* kOwnRoom = "v -3 0 -2\nv 3 0 -2\nv 3 2 -2\nf 1 2 3\n";
constexpr const char* kDecoyRoom =
    "v -3 0 6.5\nv 3 0 6.5\nv 3 2 6.5\nv -3 2 6.5\nf 1 2 3\nf 1 3 4\n";

std::string SceneCaseText(const std::string& model) {
    return "<root>\r\n<body>\r\n   <height>1.8</height>\r\n</body>\r\n<scene>\r\n  <model>" +
           model + "</model>\r\n</scene>\r\n</root>\r\n";
}

// Runs the test from another folder, and goes back to the one it ran from afterwards.
class RunningInFolder {
public:
    explicit RunningInFolder(const std::filesystem::path& folder)
        : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~RunningInFolder() { std::filesystem::current_path(previous); }
    RunningInFolder(const RunningInFolder&) = delete;
    RunningInFolder& operator=(const RunningInFolder&) = delete;

private:
    std::filesystem::path previous;
};

class SceneModelFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(caseFolder / "rooms");
        std::filesystem::create_directories(runFolder);
        WriteText((caseFolder / "room.obj").string(), kOwnRoom);
        WriteText((runFolder / "room.obj").string(), kDecoyRoom);
        LoadBoxBody(theCase);
    }

    std::string CaseFile(const std::string& name) const { return (caseFolder / name).string(); }
    std::string Read(const std::string& path) {
        const DataFileReadResult read = DataFile::Read(theCase, path);
        EXPECT_TRUE(read.ok()) << read.status.message();
        return read.LeftOutMessage();
    }

    TemporaryFolder root;
    std::filesystem::path caseFolder = root.path() / "A";
    std::filesystem::path runFolder = root.path() / "B";
    Case theCase;
};

} // namespace

TEST_F(SceneModelFileTest, ARelativeModelIsTheCaseFoldersOwnWhereverTheProgramRuns) {
    const RunningInFolder inB(runFolder);
    WriteText(CaseFile("case.txt"), SceneCaseText("room.obj"));
    // The case named from the current folder, as on a command line.
    Read("../A/case.txt");
    const std::string own = (caseFolder / "room.obj").lexically_normal().string();
    EXPECT_EQ(theCase.world.sceneModelFile, own);
    ASSERT_TRUE(LoadSceneModel(theCase, "../A/case.txt").ok());
    EXPECT_EQ(theCase.world.sceneMesh->triangles.size(), 1u) << "the case's own room";

    // A case whose folder lacks the model never reads the current folder's: it says which file
    // it looked for, as the scene model.
    std::filesystem::remove(caseFolder / "room.obj");
    Case other;
    LoadBoxBody(other);
    ASSERT_TRUE(DataFile::Read(other, CaseFile("case.txt")).ok());
    const Status missing = LoadSceneModel(other, CaseFile("case.txt"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(other.world.sceneMesh) << "the decoy in the current folder was read";
    EXPECT_NE(missing.message().find("Cannot read the scene model \"" + own + "\""),
              std::string::npos)
        << missing.message();
}

TEST_F(SceneModelFileTest, TheModelIsNamedFromTheFolderOfTheFileItIsWrittenTo) {
    const RunningInFolder inB(runFolder);
    WriteText(CaseFile("case.txt"), SceneCaseText("./rooms/../room.obj"));
    Read(CaseFile("case.txt"));
    const auto modelLine = [](const std::string& path) {
        std::string text;
        std::ifstream in(path, std::ios::binary);
        std::getline(in, text, '\0');
        const std::size_t at = text.find("<model>");
        return at == std::string::npos ? std::string()
                                       : text.substr(at, text.find("\r\n", at) - at);
    };
    // Saved again in its own folder (or below the model's), the name stays relative.
    ASSERT_TRUE(DataFile::Write(theCase, CaseFile("again.txt")).ok());
    EXPECT_EQ(modelLine(CaseFile("again.txt")), "<model>room.obj</model>");
    // Saved in another folder, it names the case's room by its whole path: the copy never reads
    // the room that lies beside it.
    const std::string copy = (runFolder / "copy.txt").string();
    ASSERT_TRUE(DataFile::Write(theCase, copy).ok());
    const std::string own = (caseFolder / "room.obj").lexically_normal().string();
    EXPECT_EQ(modelLine(copy), "<model>" + own + "</model>");
    Case reopened;
    LoadBoxBody(reopened);
    ASSERT_TRUE(DataFile::Read(reopened, copy).ok());
    ASSERT_TRUE(LoadSceneModel(reopened, copy).ok());
    EXPECT_EQ(reopened.world.sceneMesh->triangles.size(), 1u);

    // A model chosen below the case's folder is named by its way down.
    ASSERT_TRUE(ReplaceSceneModel(theCase, "../A/room.obj").ok());
    EXPECT_EQ(theCase.world.sceneModelFile, own) << "held by its whole path";
    std::filesystem::copy_file(caseFolder / "room.obj", caseFolder / "rooms" / "hall one.obj");
    ASSERT_TRUE(ReplaceSceneModel(theCase, (caseFolder / "rooms" / "hall one.obj").string()).ok());
    ASSERT_TRUE(DataFile::Write(theCase, CaseFile("hall.txt")).ok());
    EXPECT_EQ(modelLine(CaseFile("hall.txt")), "<model>rooms/hall one.obj</model>");
}

TEST_F(SceneModelFileTest, AModelThatDoesNotReadIsNamedAsTheSceneModel) {
    WriteText(CaseFile("broken.ply"), "ply\nformat nonsense\n");
    WriteText(CaseFile("flat.obj"), "v 0 0 0\nv 1 0 0\n");
    for (const char* model : {"broken.ply", "flat.obj", "missing.stl", "rooms"}) {
        WriteText(CaseFile("case.txt"), SceneCaseText(model));
        Case scene;
        ASSERT_TRUE(DataFile::Read(scene, CaseFile("case.txt")).ok());
        const Status status = LoadSceneModel(scene, CaseFile("case.txt"));
        EXPECT_FALSE(status.ok()) << model;
        EXPECT_EQ(
            status.message().rfind("Cannot read the scene model \"" + CaseFile(model) + "\": ", 0),
            0u)
            << status.message();
        EXPECT_EQ(status.message().find("body model"), std::string::npos) << status.message();
        EXPECT_FALSE(scene.world.sceneMesh);
    }
}
