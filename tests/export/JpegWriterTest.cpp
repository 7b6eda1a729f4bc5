#include "export/JpegWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::vector<uint8_t>>;

void SetPixel32(CapturedImage& dib, int x, int row, uint8_t red, uint8_t green, uint8_t blue) {
    uint8_t* pixel = dib.Pixels() + dib.RowStride() * row + 4 * x;
    pixel[0] = blue;
    pixel[1] = green;
    pixel[2] = red;
}

void SetPaletteEntry(CapturedImage& dib, int index, uint8_t red, uint8_t green, uint8_t blue) {
    uint8_t* entry = dib.ColorTable() + 4 * index;
    entry[0] = blue;
    entry[1] = green;
    entry[2] = red;
}

Rows Convert(const CapturedImage& dib) {
    Rows rows;
    std::string errorText;
    EXPECT_TRUE(ToRgbRows(&dib, static_cast<std::size_t>(dib.Width()) * 3, rows, errorText))
        << errorText;
    return rows;
}

std::vector<uint8_t> Rgb(std::initializer_list<uint8_t> bytes) {
    return bytes;
}

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = true;
    std::vector<uint8_t> pixels; // red, green, blue, top row first
};

DecodedJpeg Decode(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    DecodedJpeg result;
    if (data.empty())
        return result;
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    result.width = static_cast<int>(info.output_width);
    result.height = static_cast<int>(info.output_height);
    result.components = info.output_components;
    result.progressive = info.progressive_mode;
    const std::size_t rowBytes = info.output_width * info.output_components;
    result.pixels.resize(rowBytes * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = result.pixels.data() + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return result;
}

class JpegWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("ruvo_jpeg_test_" + std::to_string(::getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(directory, error);
    }
    fs::path directory;
};

} // namespace

TEST(ToRgbRowsTest, TrueColourRowsComeTopFirstWithoutTheirPadding) {
    CapturedImage rgb = CapturedImage::Create(3, 2, 24);
    // Bottom row: blue, green, red bytes; the 3 padding bytes hold junk that must not show.
    const uint8_t bottom[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE};
    const uint8_t top[12] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 0xEE, 0xEE, 0xEE};
    std::copy(std::begin(bottom), std::end(bottom), rgb.Pixels());
    std::copy(std::begin(top), std::end(top), rgb.Pixels() + 12);
    EXPECT_EQ(Convert(rgb),
              (Rows{Rgb({30, 20, 10, 60, 50, 40, 90, 80, 70}), Rgb({3, 2, 1, 6, 5, 4, 9, 8, 7})}));

    CapturedImage bgra = CapturedImage::Create(2, 2, 32);
    SetPixel32(bgra, 0, 0, 1, 2, 3);
    SetPixel32(bgra, 1, 0, 4, 5, 6);
    SetPixel32(bgra, 0, 1, 7, 8, 9);
    SetPixel32(bgra, 1, 1, 10, 11, 12);
    bgra.Pixels()[3] = 0x55; // the unused byte
    EXPECT_EQ(Convert(bgra), (Rows{Rgb({7, 8, 9, 10, 11, 12}), Rgb({1, 2, 3, 4, 5, 6})}));

    // 5-5-5 pixels through the level table: 0 -> 0, 1 -> 16, 2 -> 24, 30 -> 248, 31 -> 255.
    CapturedImage highColour = CapturedImage::Create(3, 1, 16);
    const auto pack = [](unsigned red, unsigned green, unsigned blue) {
        return static_cast<uint16_t>((red << 10) | (green << 5) | blue);
    };
    const uint16_t pixels[3] = {pack(31, 31, 31), pack(1, 1, 1), pack(0, 2, 30)};
    for (int x = 0; x < 3; ++x) {
        highColour.Pixels()[2 * x] = static_cast<uint8_t>(pixels[x]);
        highColour.Pixels()[2 * x + 1] = static_cast<uint8_t>(pixels[x] >> 8);
    }
    highColour.Pixels()[1] |= 0x80; // the unused top bit is ignored
    EXPECT_EQ(Convert(highColour), (Rows{Rgb({255, 255, 255, 16, 16, 16, 0, 24, 248})}));
}

TEST(ToRgbRowsTest, IndexedPixelsArePackedMostSignificantBitsFirst) {
    CapturedImage mono = CapturedImage::Create(10, 1, 1);
    SetPaletteEntry(mono, 0, 0, 0, 0);
    SetPaletteEntry(mono, 1, 200, 100, 50);
    mono.Pixels()[0] = 0b10100000; // pixels 0 and 2 set
    mono.Pixels()[1] = 0b01000000; // pixel 9 set
    const Rows monoRows = Convert(mono);
    ASSERT_EQ(monoRows.size(), 1u);
    for (int x = 0; x < 10; ++x) {
        const bool set = x == 0 || x == 2 || x == 9;
        EXPECT_EQ(monoRows[0][3 * x], set ? 200 : 0) << x;
        EXPECT_EQ(monoRows[0][3 * x + 2], set ? 50 : 0) << x;
    }

    CapturedImage nibbles = CapturedImage::Create(3, 2, 4);
    SetPaletteEntry(nibbles, 0x1, 1, 2, 3);
    SetPaletteEntry(nibbles, 0xA, 4, 5, 6);
    SetPaletteEntry(nibbles, 0xF, 7, 8, 9);
    nibbles.Pixels()[0] = 0xA1; // bottom row: A, 1, F
    nibbles.Pixels()[1] = 0xF0;
    nibbles.Pixels()[4] = 0x1F; // top row: 1, F, 0
    EXPECT_EQ(Convert(nibbles),
              (Rows{Rgb({1, 2, 3, 7, 8, 9, 0, 0, 0}), Rgb({4, 5, 6, 1, 2, 3, 7, 8, 9})}));

    CapturedImage bytes = CapturedImage::Create(2, 1, 8);
    SetPaletteEntry(bytes, 255, 11, 22, 33);
    bytes.Pixels()[0] = 255;
    EXPECT_EQ(Convert(bytes), (Rows{Rgb({11, 22, 33, 0, 0, 0})}));
}

TEST(ToRgbRowsTest, RefusesWhatItCannotReadWithItsMessages) {
    Rows rows;
    std::string errorText;
    EXPECT_FALSE(ToRgbRows(nullptr, 3, rows, errorText));
    EXPECT_EQ(errorText, "Invalid input data");

    const CapturedImage empty = CapturedImage::Create(0, 5, 24);
    errorText.clear();
    EXPECT_FALSE(ToRgbRows(&empty, 0, rows, errorText));
    EXPECT_EQ(errorText, "Invalid input data");

    for (int bitCount : {0, 2, 15, 48}) {
        const CapturedImage odd = CapturedImage::Create(2, 2, bitCount);
        errorText.clear();
        EXPECT_FALSE(ToRgbRows(&odd, 6, rows, errorText)) << bitCount;
        EXPECT_EQ(errorText, "Invalid bitmap bit count") << bitCount;
    }

    std::vector<uint8_t> bytes = CapturedImage::Create(4, 4, 24).Bytes();
    bytes.resize(bytes.size() - 5);
    const CapturedImage truncated = CapturedImage::FromBytes(bytes);
    errorText.clear();
    EXPECT_FALSE(ToRgbRows(&truncated, 12, rows, errorText));
    EXPECT_EQ(errorText, "Invalid input data");

    const CapturedImage fine = CapturedImage::Create(4, 1, 24);
    errorText.clear();
    EXPECT_FALSE(ToRgbRows(&fine, 11, rows, errorText)); // rows shorter than the pixels
    EXPECT_EQ(errorText, "Invalid input data");
    EXPECT_TRUE(ToRgbRows(&fine, 16, rows, errorText));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].size(), 16u);
}

TEST_F(JpegWriterTest, WritesABaselineImageWithTheTopRowFromTheLastBitmapRow) {
    CapturedImage dib = CapturedImage::Create(2, 2, 32);
    SetPixel32(dib, 0, 1, 255, 255, 255); // last stored row: the top of the picture
    SetPixel32(dib, 1, 1, 255, 255, 255);
    const fs::path path = directory / "view.jpg";
    std::string errorText = "stale";
    ASSERT_TRUE(WriteJpeg(&dib, 100, path.string(), errorText)) << errorText;
    EXPECT_EQ(errorText, "");

    const DecodedJpeg image = Decode(path);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.components, 3);
    EXPECT_FALSE(image.progressive);
    ASSERT_EQ(image.pixels.size(), 12u);
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_GT(image.pixels[channel], 200) << channel;    // top left: white
        EXPECT_LT(image.pixels[6 + channel], 55) << channel; // bottom left: black
    }
    // The frame header is SOF0, the baseline marker.
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(data.find("\xFF\xC0"), std::string::npos);
}

TEST_F(JpegWriterTest, RefusalsAndFailuresLeaveNoFileBehind) {
    const CapturedImage dib = CapturedImage::Create(2, 2, 24);
    const fs::path path = directory / "out.jpg";
    std::string errorText;

    for (int quality : {-1, 101}) {
        EXPECT_FALSE(WriteJpeg(&dib, quality, path.string(), errorText));
        EXPECT_EQ(errorText, "Invalid input data");
    }
    EXPECT_FALSE(WriteJpeg(nullptr, 90, path.string(), errorText));
    EXPECT_EQ(errorText, "Invalid input data");
    EXPECT_FALSE(WriteJpeg(&dib, 90, "", errorText));
    EXPECT_EQ(errorText, "Invalid input data");

    const CapturedImage odd = CapturedImage::Create(2, 2, 12);
    EXPECT_FALSE(WriteJpeg(&odd, 90, path.string(), errorText));
    EXPECT_EQ(errorText, "Invalid bitmap bit count");

    std::vector<uint8_t> bytes = dib.Bytes();
    bytes.resize(45);
    const CapturedImage truncated = CapturedImage::FromBytes(bytes);
    EXPECT_FALSE(WriteJpeg(&truncated, 90, path.string(), errorText));
    EXPECT_EQ(errorText, "Invalid input data");
    EXPECT_FALSE(fs::exists(path));

    const std::string unwritable = (directory / "no such folder" / "out.jpg").string();
    EXPECT_FALSE(WriteJpeg(&dib, 90, unwritable, errorText));
    EXPECT_EQ(errorText, "Cannot open " + unwritable + ": No such file or directory");
}

TEST_F(JpegWriterTest, AnEncoderErrorIsReportedAndTheProcessGoesOn) {
    // 70000 pixels is beyond the largest width a JPEG file can hold (65500).
    const CapturedImage wide = CapturedImage::Create(70000, 1, 24);
    const fs::path path = directory / "wide.jpg";
    std::string errorText;
    EXPECT_FALSE(WriteJpeg(&wide, 100, path.string(), errorText));
    EXPECT_NE(errorText, "");
    EXPECT_NE(errorText.find("65500"), std::string::npos) << errorText;
    EXPECT_FALSE(fs::exists(path));

    // The writer still works afterwards.
    const CapturedImage small = CapturedImage::Create(1, 1, 24);
    EXPECT_TRUE(WriteJpeg(&small, 75, path.string(), errorText)) << errorText;
    EXPECT_TRUE(fs::exists(path));
}

TEST_F(JpegWriterTest, AFailedWriteKeepsThePreviousImage) {
    const fs::path path = directory / "kept.jpg";
    const CapturedImage small = CapturedImage::Create(4, 4, 24);
    std::string errorText;
    ASSERT_TRUE(WriteJpeg(&small, 75, path.string(), errorText)) << errorText;
    const auto before = fs::file_size(path);

    const CapturedImage wide = CapturedImage::Create(70000, 1, 24);
    EXPECT_FALSE(WriteJpeg(&wide, 75, path.string(), errorText));
    ASSERT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), before);

    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(WriteJpeg(&small, 90, path.string(), errorText));
    EXPECT_EQ(errorText, "\"" + path.string() + "\" is read-only.");
    EXPECT_EQ(fs::file_size(path), before);
}

TEST_F(JpegWriterTest, AFullDiskIsAFailure) {
    struct stat info {};
    if (::stat("/dev/full", &info) != 0 || !S_ISCHR(info.st_mode))
        GTEST_SKIP() << "no /dev/full here";
    const CapturedImage dib = CapturedImage::Create(64, 64, 24);
    std::string errorText;
    EXPECT_FALSE(WriteJpeg(&dib, 100, "/dev/full", errorText));
    EXPECT_NE(errorText, "");
    // A device is never removed as if it were a partial file.
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}
