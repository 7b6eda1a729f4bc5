#include "app/cli/CommandLine.h"
#include "base/Diagnostics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// A binary STL of one triangle: 80 header bytes, the count, then normal, corners and 2 bytes.
std::string OneTriangleStl() {
    std::string bytes(80, ' ');
    const uint32_t count = 1;
    bytes.append(reinterpret_cast<const char*>(&count), sizeof count);
    const float values[12] = {0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 2, 0};
    bytes.append(reinterpret_cast<const char*>(values), sizeof values);
    return bytes + std::string(2, '\0');
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

// A binary STL (or a glTF) was read as Wavefront text: the command printed an empty model and
// exited with 0. Every format comes in through the import, as a body does.
TEST(ObjInfoCommand, ReadsEveryFormatThroughTheImport) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("ruvo-obj-info-formats-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string expected = "vertices 3\n"
                                 "normals 0\n"
                                 "texcoords 0\n"
                                 "triangles 1\n"
                                 "materials 1\n"
                                 "group \"default\" triangles 1 material 0\n"
                                 "box 0 0 0 4 2 0\n"
                                 "smoothed-normals 3\n"
                                 "fit-scale 0.5\n";
    for (const auto& [name, bytes] :
         {std::pair<std::string, std::string>{"triangle.stl", OneTriangleStl()},
          {"triangle.ply", "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                           "property float y\nproperty float z\nelement face 1\n"
                           "property list uchar int vertex_indices\nend_header\n"
                           "0 0 0\n4 0 0\n0 2 0\n3 0 1 2\n"}}) {
        SCOPED_TRACE(name);
        std::ostringstream out, err;
        const std::string model = WriteFile(folder / name, bytes).string();
        EXPECT_EQ(RunHeadless(ParseCommandLine({"--obj-info", model}), out, err), 0);
        EXPECT_EQ(out.str(), expected);
        EXPECT_EQ(err.str(), "");
    }
    // A file no reader takes is refused with the import's reason and exit status 1.
    std::ostringstream out, err;
    const std::string broken = WriteFile(folder / "broken.stl", std::string(90, 'x')).string();
    EXPECT_EQ(RunHeadless(ParseCommandLine({"--obj-info", broken}), out, err), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Cannot read the body model \"" + broken + "\""), std::string::npos)
        << err.str();
    std::filesystem::remove_all(folder);
}

// The reader's warnings (a material the library lacks, a vertex no triangle uses) came on stdout
// and stderr as they were printed: the first one before the counts. They are said on the
// command's error stream as "ruvo: warning:" lines; the counts alone are its result.
TEST(ObjInfoCommand, ReaderWarningsGoToTheErrorStreamNotBeforeTheCounts) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("ruvo-obj-info-warnings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string model = WriteFile(folder / "loose.obj", "v 0 0 0\nv 4 0 0\nv 0 2 0\nv 9 9 9\n"
                                                              "usemtl skin\nf 1 2 3\n")
                                  .string();
    std::ostringstream out, err;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunHeadless(ParseCommandLine({"--obj-info", model}), out, err), 0);
    ReportDiagnostic("after the command: its stream is no longer written");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(out.str().rfind("vertices 4\n", 0), 0u) << out.str();
    EXPECT_EQ(err.str(), "ruvo: warning: glmFindMaterial():  can't find material \"skin\".\n"
                         "ruvo: warning: glmVertexNormals(): vertex w/o a triangle\n");
    std::filesystem::remove_all(folder);
}
