#include "support/RenderTestSupport.h"

#include "case/Case.h"
#include "casefile/DataFile.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb; // top row first
    Rgb At(int x, int yFromTop) const {
        const size_t at = (static_cast<size_t>(yFromTop) * width + x) * 3;
        return {rgb[at], rgb[at + 1], rgb[at + 2]};
    }
};

bool ReadJpeg(const fs::path& path, Image& image) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &image.rgb[static_cast<size_t>(info.output_scanline) * image.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return true;
}

TEST(RenderCommand, DrawsTheCaseIntoAJpeg) {
    TestModels models;
    {
        // A red arrow in front of the body, at (0.3, 1.2, 0.5), pointing away from the viewer.
        Case theCase;
        Trajectory trajectory;
        trajectory.exited = true;
        trajectory.in = {0.3, 1.2, 0.5};
        trajectory.out = {0.3, 1.2, 0.2};
        trajectory.color = {1, 0, 0};
        theCase.trajectories.push_back(trajectory);
        ASSERT_TRUE(DataFile::Write(theCase, (models.Root() / "case.txt").string()).ok());
    }
    std::string errorText;
    ASSERT_EQ(
        RunRuvo(models.Root(), "--render case.txt --output out.jpg --size 160x120", errorText), 0)
        << errorText;
    Image image;
    ASSERT_TRUE(ReadJpeg(models.Root() / "out.jpg", image));
    ASSERT_EQ(image.width, 160);
    ASSERT_EQ(image.height, 120);
    // Front view: eye at (0, 1, 2.5) looking down -Z, 60 degrees vertically.
    const double focal = 1.0 / std::tan(std::numbers::pi / 6);
    const double x = (focal * 120.0 / 160.0 * 0.3 / 2.0 + 1) * 0.5 * 160;
    const double y = (focal * 0.2 / 2.0 + 1) * 0.5 * 120;
    const Rgb arrow = image.At(static_cast<int>(x), 120 - 1 - static_cast<int>(y));
    EXPECT_GT(arrow.r, 150);
    EXPECT_LT(arrow.g, 60);
    const Rgb corner = image.At(2, 2);
    EXPECT_NEAR(corner.r, 217, 3);

    EXPECT_EQ(RunRuvo(models.Root(), "--render missing.txt --output out.jpg", errorText), 1);
    EXPECT_NE(errorText.find("missing.txt"), std::string::npos) << errorText;
    EXPECT_EQ(
        RunRuvo(models.Root(), "--render case.txt --output out.jpg --body nowhere.obj", errorText),
        1);
    EXPECT_NE(errorText.find("nowhere.obj"), std::string::npos) << errorText;
    EXPECT_EQ(RunRuvo(models.Root(), "--render case.txt --output no/such/dir/out.jpg", errorText),
              1);
    EXPECT_NE(errorText.find("out.jpg"), std::string::npos) << errorText;
}

TEST(RenderCommand, AScanBodyIsDrawnInItsOwnColours) {
    // The octahedron scan has a red corner at +X: fitted, it sits at (1, 1, 1). A point of the
    // face round it, mostly that corner's, is drawn red (lit, but not the material's grey).
    TestModels models;
    ASSERT_TRUE(
        DataFile::Write(*std::make_unique<Case>(), (models.Root() / "empty.txt").string()).ok());
    const std::string scan = std::string(RUVO_SOURCE_DIR "/tests/data/meshes/octahedron_le.ply");
    std::string errorText;
    ASSERT_EQ(RunRuvo(models.Root(),
                      "--render empty.txt --output scan.jpg --size 160x120 --body '" + scan + "'",
                      errorText),
              0)
        << errorText;
    Image image;
    ASSERT_TRUE(ReadJpeg(models.Root() / "scan.jpg", image));
    const double focal = 1.0 / std::tan(std::numbers::pi / 6);
    const double x = (focal * 120.0 / 160.0 * 0.8 / 1.4 + 1) * 0.5 * 160;
    const double y = (focal * 0.1 / 1.4 + 1) * 0.5 * 120;
    const Rgb face = image.At(static_cast<int>(x), 120 - 1 - static_cast<int>(y));
    EXPECT_GT(face.r, face.g + 40) << face.r << ' ' << face.g << ' ' << face.b;
    EXPECT_GT(face.r, face.b + 40) << face.r << ' ' << face.g << ' ' << face.b;
}

// A wall of the case's scene model stands between the eye and the body: drawn as the window
// draws it, it hides the body; --transparent-scene and the scene view see through it.
TEST(RenderCommand, TheTransparentSceneOptionSeesThroughAWall) {
    TestModels models;
    std::ofstream(models.Root() / "wall.obj")
        << "v -2 0 -1\nv 2 0 -1\nv 2 3 -1\nv -2 3 -1\nf 1 2 3\nf 1 3 4\n";
    std::ofstream(models.Root() / "walled.txt")
        << "<root>\n<body>\n   <placement>0.0000 0.0000 -2.0000 0.00</placement>\n</body>\n"
           "<scene>\n  <model>wall.obj</model>\n</scene>\n</root>\n";
    const auto centre = [&models](const std::string& options) {
        std::string errorText;
        EXPECT_EQ(RunRuvo(models.Root(),
                          "--render walled.txt --output out.jpg --size 160x120 " + options,
                          errorText),
                  0)
            << errorText;
        Image image;
        EXPECT_TRUE(ReadJpeg(models.Root() / "out.jpg", image));
        return image.width == 160 ? image.At(80, 60) : Rgb{};
    };
    const auto bluish = [](const Rgb& c) { return c.b > c.r + 40 && c.b > c.g + 40; };
    const Rgb walled = centre("");
    EXPECT_FALSE(bluish(walled)) << walled.r << "," << walled.g << "," << walled.b;
    const Rgb through = centre("--transparent-scene");
    EXPECT_TRUE(bluish(through)) << through.r << "," << through.g << "," << through.b;
    std::string errorText;
    EXPECT_EQ(RunRuvo(models.Root(),
                      "--render walled.txt --output scene.jpg --size 160x120 --view scene",
                      errorText),
              0)
        << errorText;
}

} // namespace
