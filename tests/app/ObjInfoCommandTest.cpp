#include "app/cli/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

} // namespace

TEST(ObjInfoCommand, PrintsCountsGroupsBoxAndPreparation) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("ruvo-obj-info-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    WriteFile(folder / "wedge.mtl", "newmtl skin\nKd 0.9 0.7 0.6\nnewmtl bone\n");
    const std::filesystem::path model =
        WriteFile(folder / "wedge.obj", "mtllib wedge.mtl\n"
                                        "v 1 0 0\nv 3 0 0\nv 3 1 0\nv 1 1 -0.5\n"
                                        "vn 0 0 1\nvt 0 0\n"
                                        "f 1 2 3\n"
                                        "usemtl skin\nf 1 3 4\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunHeadless(ParseCommandLine({"--obj-info", model.string()}), out, err), 0);
    EXPECT_EQ(out.str(), "vertices 4\n"
                         "normals 1\n"
                         "texcoords 1\n"
                         "triangles 2\n"
                         "materials 3\n"
                         "group \"skin\" triangles 1 material 1\n"
                         "group \"default\" triangles 1 material 0\n"
                         "box 0 0 -0.5 3 1 0\n"
                         "smoothed-normals 4\n"
                         "fit-scale 0.5\n");
    EXPECT_EQ(err.str(), "");

    std::ostringstream missingOut, missingErr;
    const std::string missing = (folder / "absent.obj").string();
    // The message is printed once, by the command: the reader itself prints nothing.
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunHeadless(ParseCommandLine({"--obj-info", missing}), missingOut, missingErr), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(missingErr.str(), "Read Obj failed: can't open data file \"" + missing + "\".\n");
    EXPECT_EQ(missingOut.str(), "");
    std::filesystem::remove_all(folder);
}
