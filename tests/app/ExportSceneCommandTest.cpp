#include "app/cli/CommandLine.h"
#include "case/Case.h"
#include "case/Trajectory.h"
#include "casefile/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
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
