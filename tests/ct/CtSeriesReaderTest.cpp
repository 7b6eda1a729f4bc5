#include "ct/CtSeriesReader.h"
#include "CtPhantom.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// A fresh folder for one phantom series, removed at the end.
class CtTestFolder {
public:
    CtTestFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ruvo-ct-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~CtTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    CtTestFolder(const CtTestFolder&) = delete;
    CtTestFolder& operator=(const CtTestFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

Vec3 VoxelPosition(const CtVolume& v, int i, int j, int k) {
    const double a = i * v.spacing[0], b = j * v.spacing[1], c = k * v.spacing[2];
    return {v.origin.x + a * v.rowDirection.x + b * v.columnDirection.x + c * v.sliceDirection.x,
            v.origin.y + a * v.rowDirection.y + b * v.columnDirection.y + c * v.sliceDirection.y,
            v.origin.z + a * v.rowDirection.z + b * v.columnDirection.z + c * v.sliceDirection.z};
}

// The voxels that differ from the phantom at their patient position.
int WrongVoxels(const CtVolume& volume) {
    int wrong = 0;
    for (int k = 0; k < volume.size[2]; ++k)
        for (int j = 0; j < volume.size[1]; ++j)
            for (int i = 0; i < volume.size[0]; ++i)
                if (volume.At(i, j, k) != CtPhantomHu(VoxelPosition(volume, i, j, k)))
                    ++wrong;
    return wrong;
}

Status ReadPhantom(const CtPhantomOptions& options, CtSeriesReader& reader) {
    CtTestFolder folder;
    if (Status written = WriteCtPhantom(folder.path(), options); !written)
        return written;
    return reader.Read(folder.path());
}

} // namespace

// The same object in the patient frame, whatever the posture, the file names, the pixel type
// and the rescale: every voxel must land where the phantom has its value.
TEST(CtSeriesReader, ReadsThePhantomInEveryLayoutAtItsPatientPosition) {
    CtPhantomOptions headFirst;
    CtPhantomOptions feetFirst;
    feetFirst.posture = CtPhantomPosture::FeetFirstSupine;
    feetFirst.shuffledNames = true;
    feetFirst.unsignedPixels = true;
    feetFirst.intercept = -1024;
    CtPhantomOptions prone;
    prone.posture = CtPhantomPosture::HeadFirstProne;
    prone.shuffledNames = true;
    prone.intercept = -1024;
    prone.size = {64, 48, 60};
    prone.pixelSpacing = {2, 2.5}; // rows further apart than columns
    prone.sliceGap = 2.5;
    CtPhantomOptions halfSlope;
    halfSlope.unsignedPixels = true;
    halfSlope.slope = 0.5; // stored values 38000 to 46000: above the signed range
    halfSlope.intercept = -20000;
    halfSlope.size = {48, 48, 40};
    // Twelve bits stored, signed and unsigned, with noise above them that is no part of a value.
    CtPhantomOptions signed12;
    signed12.size = {32, 32, 40};
    signed12.bitsStored = 12;
    signed12.noisyHighBits = true;
    signed12.intercept = 1000; // stored values -2000 to 2000
    CtPhantomOptions unsigned12 = signed12;
    unsigned12.unsignedPixels = true;
    unsigned12.intercept = -1024; // stored values 24 to 4024
    for (const CtPhantomOptions& options :
         {headFirst, feetFirst, prone, halfSlope, signed12, unsigned12}) {
        SCOPED_TRACE(options.size[1] * 1000 + options.bitsStored * 10 + options.unsignedPixels);
        CtSeriesReader reader;
        ASSERT_TRUE(ReadPhantom(options, reader)) << reader.Facts().seriesUid;
        const CtVolume& volume = reader.Volume();
        EXPECT_EQ(volume.size, options.size);
        EXPECT_NEAR(volume.spacing[0], options.pixelSpacing[0], 1e-6);
        EXPECT_NEAR(volume.spacing[1], options.pixelSpacing[1], 1e-6);
        EXPECT_NEAR(volume.spacing[2], options.sliceGap, 1e-6);
        EXPECT_EQ(volume.hu.size(),
                  static_cast<size_t>(options.size[0]) * options.size[1] * options.size[2]);
        EXPECT_EQ(WrongVoxels(volume), 0);
        const CtSeriesFacts& facts = reader.Facts();
        EXPECT_EQ(facts.seriesUid, options.seriesUid);
        EXPECT_EQ(facts.description, "CT phantom");
        EXPECT_EQ(facts.date, "20260102");
        EXPECT_NEAR(facts.sliceThickness, options.sliceGap, 1e-6);
        EXPECT_EQ(facts.size, options.size);
        EXPECT_EQ(facts.minHu, -1000);
        EXPECT_EQ(facts.maxHu, 3000);
        EXPECT_EQ(facts.clampedVoxels, 0);
    }
}

// The lossless compressions GDCM decodes give the same voxels as the uncompressed files.
TEST(CtSeriesReader, ReadsLosslessCompressedSeries) {
    for (const CtPhantomCompression compression :
         {CtPhantomCompression::JpegLossless, CtPhantomCompression::JpegLsLossless,
          CtPhantomCompression::Rle}) {
        SCOPED_TRACE(static_cast<int>(compression));
        CtPhantomOptions options;
        options.size = {32, 32, 24};
        options.compression = compression;
        options.unsignedPixels = compression == CtPhantomCompression::Rle;
        options.intercept = options.unsignedPixels ? -1024 : 0;
        CtSeriesReader reader;
        ASSERT_TRUE(ReadPhantom(options, reader));
        EXPECT_EQ(reader.Volume().size, options.size);
        EXPECT_EQ(WrongVoxels(reader.Volume()), 0);
    }
}

TEST(CtSeriesReader, TakesTheLargestSeriesOrTheOneNamed) {
    CtTestFolder folder;
    CtPhantomOptions body;
    body.size = {32, 32, 30};
    CtPhantomOptions scout = body;
    scout.size[2] = 12;
    scout.seriesUid = "1.2.826.0.1.3680043.10.1041.2";
    scout.fileNamePrefix = "a_other";
    ASSERT_TRUE(WriteCtPhantom(folder.path(), body));
    ASSERT_TRUE(WriteCtPhantom(folder.path(), scout));
    CtSeriesReader reader;
    ASSERT_TRUE(reader.Read(folder.path()));
    EXPECT_EQ(reader.Facts().seriesUid, body.seriesUid);
    EXPECT_EQ(reader.Volume().size[2], 30);
    ASSERT_TRUE(reader.Read(folder.path(), scout.seriesUid));
    EXPECT_EQ(reader.Volume().size[2], 12);
    EXPECT_EQ(WrongVoxels(reader.Volume()), 0);
    const Status missing = reader.Read(folder.path(), "1.2.3.4");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.message().find("no series 1.2.3.4"), std::string::npos);
    EXPECT_TRUE(reader.Volume().hu.empty());
}

// A series that would make a distorted volume is refused, and says why.
TEST(CtSeriesReader, RefusesSeriesThatWouldDistortTheVolume) {
    CtPhantomOptions base;
    base.size = {24, 24, 20};
    CtPhantomOptions dropped = base;
    dropped.droppedSlice = 7;
    CtPhantomOptions moved = base;
    moved.movedSlice = 9;
    moved.movedBy = 0.7;
    CtPhantomOptions twice = base; // slice 9 moved onto slice 10
    twice.movedSlice = 9;
    twice.movedBy = -base.sliceGap;
    CtPhantomOptions tilted = base;
    tilted.tiltDegrees = 12;
    CtPhantomOptions localizer = base;
    localizer.localizer = true;
    CtPhantomOptions rotated = base;
    rotated.rotatedSlice = 4;
    const std::pair<CtPhantomOptions, const char*> cases[] = {
        {dropped, "A slice is missing"}, {moved, "slice gaps are unequal"},
        {twice, "same position"},        {tilted, "gantry tilt"},
        {localizer, "localizer"},        {rotated, "mixes image orientations"},
    };
    for (const auto& [options, expected] : cases) {
        SCOPED_TRACE(expected);
        CtSeriesReader reader;
        const Status read = ReadPhantom(options, reader);
        ASSERT_FALSE(read);
        EXPECT_NE(read.message().find(expected), std::string::npos) << read.message();
        EXPECT_TRUE(reader.Volume().hu.empty());
    }
}

TEST(CtSeriesReader, RefusesFoldersWithoutImagesAndCanBeCancelled) {
    CtTestFolder folder;
    CtSeriesReader reader;
    const Status empty = reader.Read(folder.path());
    ASSERT_FALSE(empty);
    EXPECT_NE(empty.message().find("No files"), std::string::npos) << empty.message();
    std::ofstream(folder.path() / "notes.txt") << "not an image\n";
    const Status text = reader.Read(folder.path());
    ASSERT_FALSE(text);
    EXPECT_NE(text.message().find("no DICOM image"), std::string::npos) << text.message();
    EXPECT_FALSE(reader.Read(folder.path() / "absent"));

    CtPhantomOptions options;
    options.size = {16, 16, 10};
    ASSERT_TRUE(WriteCtPhantom(folder.path(), options));
    struct CancelAfterThree : ProgressSink {
        int calls = 0;
        void SetProgress(int) override { ++calls; }
        bool CancelRequested() const override { return calls >= 3; }
    } sink;
    const Status cancelled = reader.Read(folder.path(), {}, &sink);
    ASSERT_FALSE(cancelled);
    EXPECT_NE(cancelled.message().find("cancelled"), std::string::npos);
    EXPECT_EQ(sink.calls, 3);
}

// The one real CT slice Debian's pydicom ships: a single slice reads as a volume one slice deep
// whose spacing across slices is the stated slice thickness.
TEST(CtSeriesReader, ReadsARealCtSliceAsAVolumeOneSliceDeep) {
    const std::filesystem::path real =
        "/usr/lib/python3/dist-packages/pydicom/data/test_files/CT_small.dcm";
    if (!std::filesystem::exists(real))
        GTEST_SKIP() << "python3-pydicom is not installed";
    CtTestFolder folder;
    std::filesystem::copy_file(real, folder.path() / "CT_small.dcm");
    CtSeriesReader reader;
    ASSERT_TRUE(reader.Read(folder.path()));
    const CtVolume& volume = reader.Volume();
    EXPECT_EQ(volume.size, (std::array<int, 3>{128, 128, 1}));
    EXPECT_NEAR(volume.spacing[0], 0.661468, 1e-6);
    EXPECT_NEAR(volume.spacing[2], 5.0, 1e-6);
    EXPECT_NEAR(volume.origin.x, -158.135803, 1e-6);
    EXPECT_NEAR(volume.origin.z, -75.699997, 1e-6);
    const CtSeriesFacts& facts = reader.Facts();
    EXPECT_EQ(facts.seriesUid, "1.3.6.1.4.1.5962.1.3.1.1.20040119072730.12322");
    EXPECT_EQ(facts.date, "19970430");
    // Stored values 128 to 2191 with the intercept -1024.
    EXPECT_EQ(facts.minHu, 128 - 1024);
    EXPECT_EQ(facts.maxHu, 2191 - 1024);
}
