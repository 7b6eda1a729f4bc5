#include "app/cli/CommandLine.h"
#include "case/Case.h"
#include "case/Trajectory.h"
#include "casefile/DataFile.h"
#include "support/BoxBody.h"
#include "support/InProcessCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Model(const std::string& name) {
    return RUVO_SOURCE_DIR "/tests/data/meshes/" + name;
}

std::string FirstBytes(const fs::path& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    return bytes.substr(0, static_cast<std::size_t>(in.gcount()));
}

} // namespace

// Every case command takes a body in any format; the export writes the scene the view shows.
TEST(ExportSceneCommand, WritesTheSceneWithABodyOfAnyFormat) {
    const fs::path folder =
        fs::temp_directory_path() / ("ruvo-export-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string caseFile = (folder / "case.txt").string();
    {
        Case theCase;
        Trajectory trajectory;
        trajectory.exited = true;
        trajectory.in = {0.1, 1.2, 0.3};
        trajectory.out = {0.1, 1.2, 0.0};
        theCase.trajectories.push_back(trajectory);
        ASSERT_TRUE(DataFile::Write(theCase, caseFile).ok());
    }
    const auto run = [](const std::vector<std::string>& arguments, std::string& errors) {
        std::ostringstream out, err;
        const int status = RunHeadless(ParseCommandLine(arguments), out, err);
        errors = err.str();
        return status;
    };
    std::string errors;
    const std::string glb = (folder / "scene.glb").string();
    EXPECT_EQ(
        run({"--export-scene", caseFile, "--output", glb, "--body", Model("octahedron_binary.STL")},
            errors),
        0)
        << errors;
    EXPECT_EQ(FirstBytes(glb, 4), "glTF");
    const std::string obj = (folder / "scene.OBJ").string();
    EXPECT_EQ(run({"--export-scene", caseFile, "--output", obj}, errors), 0) << errors;
    EXPECT_EQ(FirstBytes(obj, 1), "#");
    EXPECT_TRUE(fs::exists(folder / "scene.mtl"));
    // The command line shows no cones (as --render and --report draw none), so it exports none.
    const std::string objects = FirstBytes(obj, fs::file_size(obj));
    EXPECT_NE(objects.find("\no Trajectory_1\n"), std::string::npos);
    EXPECT_EQ(objects.find("\no Uncertainty"), std::string::npos);
    EXPECT_EQ(run({"--summary", caseFile, "--body", Model("octahedron.gltf")}, errors), 0)
        << errors;

    // A broken body: one line naming it, nothing written.
    const std::string other = (folder / "other.glb").string();
    EXPECT_EQ(run({"--export-scene", caseFile, "--output", other, "--body", Model("truncated.ply")},
                  errors),
              1);
    EXPECT_NE(errors.find("truncated.ply"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_FALSE(fs::exists(other));
    // Only the two scene formats are written.
    EXPECT_EQ(run({"--export-scene", caseFile, "--output", (folder / "s.fbx").string()}, errors),
              2);
    fs::remove_all(folder);
}

// The command writes the case's scene model as the window's export does, the one beside the case
// file even when the program runs where another file of that name lies; and a case whose scene
// block stands before its body keeps it through a rewrite.
TEST(ExportSceneCommand, WritesTheCasesOwnSceneModelWhereverItRuns) {
    TemporaryFolder root;
    const fs::path caseFolder = root.path() / "A", runFolder = root.path() / "B";
    fs::create_directories(caseFolder);
    fs::create_directories(runFolder);
    WriteText((caseFolder / "room.obj").string(), "v -3 0 -2\nv 3 0 -2\nv 3 2 -2\nf 1 2 3\n");
    WriteText((runFolder / "room.obj").string(),
              "v -3 0 6\nv 3 0 6\nv 3 2 6\nv -3 2 6\nf 1 2 3\nf 1 3 4\n");
    const std::string body = (caseFolder / "box.obj").string();
    WriteText(body, kBoxObj);
    const std::string caseFile = (caseFolder / "case.txt").string();
    WriteText(caseFile, "<root>\r\n<scene>\r\n  <model>room.obj</model>\r\n"
                        "  <muzzleheights>150</muzzleheights>\r\n</scene>\r\n<body>\r\n"
                        "   <height>2.0</height>\r\n</body>\r\n<trajectory>\r\n  <x1>0.1</x1>\r\n"
                        "  <y1>1.2</y1>\r\n  <z1>0.3</z1>\r\n  <y2>1.2</y2>\r\n</trajectory>\r\n"
                        "</root>\r\n");
    // The program's own models (the arrows) are found below the folder it runs in.
    fs::create_directory_symlink(RUVO_SOURCE_DIR "/data", runFolder / "data");
    const fs::path previous = fs::current_path();
    fs::current_path(runFolder);
    const std::string exportedObj = (runFolder / "scene.obj").string();
    const InProcessRun exported =
        RunInProcess({"--export-scene", "../A/case.txt", "--output", exportedObj, "--body", body});
    const std::string rewritten = (runFolder / "rewritten.txt").string();
    const InProcessRun rewrite =
        RunInProcess({"--rewrite", "../A/case.txt", rewritten, "--body", body});
    fs::current_path(previous);

    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err, "");
    // The room's object and its faces, up to the next object.
    const std::string objects = FirstBytes(exportedObj, fs::file_size(exportedObj));
    const std::size_t room = objects.find("\no Scene_model_(room.obj)\n");
    ASSERT_NE(room, std::string::npos) << objects.substr(0, 2000);
    const std::string roomFaces = objects.substr(room + 1, objects.find("\no ", room + 1) - room);
    std::size_t faces = 0;
    for (std::size_t at = roomFaces.find("\nf "); at != std::string::npos;
         at = roomFaces.find("\nf ", at + 1)) {
        ++faces;
    }
    EXPECT_EQ(faces, 1u) << "the case's own room, not the current folder's:\n" << roomFaces;

    EXPECT_EQ(rewrite.status, 0) << rewrite.err;
    std::ifstream in(rewritten, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<scene>\r\n  <model>" + (caseFolder / "room.obj").string() +
                        "</model>\r\n  <muzzleheights>150</muzzleheights>\r\n</scene>\r\n"),
              std::string::npos)
        << text;
}
