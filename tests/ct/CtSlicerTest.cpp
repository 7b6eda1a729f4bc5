#include "ct/CtSlicer.h"
#include "CtPhantom.h"
#include "ct/CtSeriesReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// The body frame every slicer test uses: the soles 70 mm below the phantom's middle, the back
// 50 mm behind it, x = 0 on its axis.
CtBodyFrame SlicerTestFrame() {
    const Vec3 centre = CtPhantomCentre();
    return {{centre.x, centre.y + 50, centre.z - 70}};
}

// The phantom written as a series in the posture and read back.
std::shared_ptr<CtScan> SlicerPhantomScan(CtPhantomPosture posture) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "ruvo-ct-slicer-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return nullptr;
    }
    CtPhantomOptions options;
    options.posture = posture;
    options.shuffledNames = true;
    auto scan = std::make_shared<CtScan>();
    CtSeriesReader reader;
    const bool read = WriteCtPhantom(pattern, options) && reader.Read(pattern);
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    if (!read) {
        return nullptr;
    }
    scan->volume = reader.TakeVolume();
    scan->frame = SlicerTestFrame();
    return scan;
}

// The phantom sampled in memory on a grid whose axes are given: row, column and slice
// directions in the patient frame.
std::shared_ptr<CtScan> SlicerGridScan(const Vec3& row, const Vec3& column, const Vec3& across) {
    auto scan = std::make_shared<CtScan>();
    CtVolume& volume = scan->volume;
    volume.size = {40, 50, 30};
    volume.spacing = {2.5, 2, 5};
    volume.rowDirection = row;
    volume.columnDirection = column;
    volume.sliceDirection = across;
    const Vec3 centre = CtPhantomCentre();
    const auto corner = [&](int axis, const Vec3& direction) {
        const double half = (volume.size[axis] - 1) / 2.0 * volume.spacing[axis];
        return Vec3{-half * direction.x, -half * direction.y, -half * direction.z};
    };
    const Vec3 a = corner(0, row), b = corner(1, column), c = corner(2, across);
    volume.origin = {centre.x + a.x + b.x + c.x, centre.y + a.y + b.y + c.y,
                     centre.z + a.z + b.z + c.z};
    volume.hu.resize(static_cast<size_t>(40) * 50 * 30);
    for (int k = 0; k < 30; ++k)
        for (int j = 0; j < 50; ++j)
            for (int i = 0; i < 40; ++i) {
                const double u = i * 2.5, v = j * 2.0, w = k * 5.0;
                const Vec3 at{volume.origin.x + u * row.x + v * column.x + w * across.x,
                              volume.origin.y + u * row.y + v * column.y + w * across.y,
                              volume.origin.z + u * row.z + v * column.z + w * across.z};
                volume.hu[i + 40 * (j + 50 * static_cast<size_t>(k))] = CtPhantomHu(at);
            }
    scan->frame = SlicerTestFrame();
    return scan;
}

Vec3 SlicerStep(const Vec3& from, const Vec3& to) {
    return Minus(to, from);
}

// Checks one slicer on one scan: the picture's axes run the radiological way, every pixel shows
// the phantom at its voxel's body point, and pixels and body points map back onto each other.
// A grid turned against the patient axes shows turned: `slack` is how far (as a share of a
// voxel) its picture's steps may leave the patient axes.
void CheckRadiologicalSlice(const CtScan& scan, CtSliceOrientation orientation, CtSliceImage& image,
                            double slack = 0) {
    SCOPED_TRACE(static_cast<int>(orientation));
    const CtSlicer slicer(scan, orientation);
    // The slice through the metal bead (14 mm left, 20 mm in front, 20 mm above the middle).
    const Vec3 centre = CtPhantomCentre();
    const Vec3 bead = LpsToBody(scan.frame, {centre.x + 14, centre.y - 20, centre.z + 20});
    const int slice = slicer.SliceThrough(bead);
    ASSERT_GT(slicer.SliceCount(), 0);
    const CtWindow bone = WindowOfPreset(CtWindowPreset::Bone);
    slicer.Draw(slice, bone, image);
    ASSERT_EQ(image.width, slicer.Width());
    ASSERT_EQ(image.grey.size(), static_cast<size_t>(image.width) * image.height);

    // Right in the picture, down in the picture, and on along the normal, in the body frame.
    const Vec3 origin = slicer.VoxelCentre(slice, 1, 1);
    const Vec3 right = SlicerStep(origin, slicer.VoxelCentre(slice, 2, 1));
    const Vec3 down = SlicerStep(origin, slicer.VoxelCentre(slice, 1, 2));
    const Vec3 onward = SlicerStep(origin, slicer.VoxelCentre(slice + 1, 1, 1));
    const double w = slicer.PixelWidthMm() / 10, h = slicer.PixelHeightMm() / 10;
    const double t = slicer.ThicknessMm() / 10;
    const auto expectStep = [slack](const Vec3& step, const Vec3& expected) {
        const double tolerance = slack * std::sqrt(Dot(expected, expected)) + 1e-9;
        EXPECT_NEAR(step.x, expected.x, tolerance);
        EXPECT_NEAR(step.y, expected.y, tolerance);
        EXPECT_NEAR(step.z, expected.z, tolerance);
    };
    switch (orientation) {
    case CtSliceOrientation::Axial: // from the feet: the right on the left, the front up
        expectStep(right, {w, 0, 0});
        expectStep(down, {0, 0, -h});
        expectStep(onward, {0, t, 0});
        break;
    case CtSliceOrientation::Coronal: // from the front: the head up, the right on the left
        expectStep(right, {w, 0, 0});
        expectStep(down, {0, -h, 0});
        expectStep(onward, {0, 0, t});
        break;
    case CtSliceOrientation::Sagittal: // from the left: the head up, the front on the left
        expectStep(right, {0, 0, -w});
        expectStep(down, {0, -h, 0});
        expectStep(onward, {t, 0, 0});
        break;
    }

    int wrong = 0, offPlace = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Vec3 body = slicer.VoxelCentre(slice, x, y);
            const int hu = CtPhantomHu(BodyToLps(scan.frame, body));
            wrong += image.grey[static_cast<size_t>(y) * image.width + x] != GreyInWindow(bone, hu);
            const CtSlicePoint back = slicer.ImagePoint(slice, body);
            offPlace += std::abs(back.x - (x + 0.5)) > 1e-6 ||
                        std::abs(back.y - (y + 0.5)) > 1e-6 || std::abs(back.offsetMm) > 1e-6;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(offPlace, 0);
    // The bead's point falls on a white pixel of its own slice.
    const CtSlicePoint onBead = slicer.ImagePoint(slice, bead);
    EXPECT_LE(std::abs(onBead.offsetMm), slicer.ThicknessMm() / 2);
    EXPECT_EQ(
        image.grey.at(static_cast<size_t>(onBead.y) * image.width + static_cast<size_t>(onBead.x)),
        255);
}

} // namespace

// Head first or feet first, supine or prone, as written and read, or on a grid whose axes are
// swapped and turned: the same body gives the same pictures, shown the radiological way.
TEST(CtSlicer, ShowsEveryPostureTheRadiologicalWay) {
    const std::shared_ptr<CtScan> supine = SlicerPhantomScan(CtPhantomPosture::HeadFirstSupine);
    ASSERT_NE(supine, nullptr);
    std::array<CtSliceImage, 3> expected;
    int index = 0;
    for (CtSliceOrientation orientation :
         {CtSliceOrientation::Axial, CtSliceOrientation::Coronal, CtSliceOrientation::Sagittal}) {
        CheckRadiologicalSlice(*supine, orientation, expected[index++]);
    }
    const std::shared_ptr<CtScan> scans[] = {SlicerPhantomScan(CtPhantomPosture::FeetFirstSupine),
                                             SlicerPhantomScan(CtPhantomPosture::HeadFirstProne)};
    for (const std::shared_ptr<CtScan>& scan : scans) {
        ASSERT_NE(scan, nullptr);
        index = 0;
        for (CtSliceOrientation orientation :
             {CtSliceOrientation::Axial, CtSliceOrientation::Coronal,
              CtSliceOrientation::Sagittal}) {
            CtSliceImage image;
            CheckRadiologicalSlice(*scan, orientation, image);
            EXPECT_EQ(image.grey, expected[index++].grey);
        }
    }
    // Rows running toward the back, columns toward the left, slices toward the feet; then a
    // grid turned 20 degrees about the head-foot axis (its pictures turn with it).
    const double c = std::cos(20 * 3.14159265358979 / 180),
                 s = std::sin(20 * 3.14159265358979 / 180);
    const std::shared_ptr<CtScan> swapped = SlicerGridScan({0, 1, 0}, {1, 0, 0}, {0, 0, -1});
    const std::shared_ptr<CtScan> turned = SlicerGridScan({c, s, 0}, {-s, c, 0}, {0, 0, 1});
    for (CtSliceOrientation orientation :
         {CtSliceOrientation::Axial, CtSliceOrientation::Coronal, CtSliceOrientation::Sagittal}) {
        CtSliceImage image;
        CheckRadiologicalSlice(*swapped, orientation, image);
        CheckRadiologicalSlice(*turned, orientation, image, 0.4);
    }
}

// Scrolling stops at the volume's ends; a trajectory is projected into the slice and the part of
// it within half a slice thickness of the plane is found.
TEST(CtSlicer, StepsWithinTheVolumeAndFindsTheTrackNearTheSlice) {
    const std::shared_ptr<CtScan> scan = SlicerGridScan({1, 0, 0}, {0, 1, 0}, {0, 0, 1});
    const CtSlicer axial(*scan, CtSliceOrientation::Axial);
    ASSERT_EQ(axial.SliceCount(), 30);
    EXPECT_EQ(axial.Step(0, -1), 0);
    EXPECT_EQ(axial.Step(28, 5), 29);
    EXPECT_EQ(axial.Step(10, 1), 11);
    EXPECT_EQ(axial.SliceThrough({0, -100, 0}), 0);
    EXPECT_EQ(axial.SliceThrough({0, 500, 0}), 29);
    EXPECT_NEAR(axial.ThicknessMm(), 5, 1e-12);

    const int slice = 15;
    const Vec3 onPlane = axial.VoxelCentre(slice, 20, 25); // cm
    // Across the plane: 2 cm below to 2 cm above, 4 cm to the left; the 5 mm slice holds the
    // middle eighth of the segment.
    const Vec3 in{onPlane.x - 2, onPlane.y - 2, onPlane.z};
    const Vec3 out{onPlane.x + 2, onPlane.y + 2, onPlane.z};
    const CtSliceTrack across = axial.Track(slice, in, out);
    EXPECT_TRUE(across.inSlice);
    EXPECT_NEAR(across.inSliceFrom, 0.4375, 1e-9);
    EXPECT_NEAR(across.inSliceTo, 0.5625, 1e-9);
    EXPECT_NEAR(across.in.offsetMm, -20, 1e-9);
    EXPECT_NEAR(across.out.offsetMm, 20, 1e-9);
    EXPECT_NEAR(across.in.x, 20.5 - 20 / 2.5, 1e-9); // 2 cm right of the voxel, 2.5 mm pixels
    EXPECT_NEAR(across.out.x, 20.5 + 20 / 2.5, 1e-9);
    EXPECT_NEAR(across.in.y, 25.5, 1e-9);
    // From OUT back to IN the same part, counted from the other end.
    const CtSliceTrack backward = axial.Track(slice, out, in);
    EXPECT_NEAR(backward.inSliceFrom, 0.4375, 1e-9);
    EXPECT_NEAR(backward.inSliceTo, 0.5625, 1e-9);
    // Lying in the plane: all of it; beside the plane, or ending before it: none.
    const CtSliceTrack beside = axial.Track(slice, in, {out.x, in.y, out.z});
    EXPECT_FALSE(beside.inSlice); // 2 cm below the plane all along
    const CtSliceTrack flat = axial.Track(slice, {in.x, onPlane.y, in.z}, {out.x, onPlane.y, 3});
    EXPECT_TRUE(flat.inSlice);
    EXPECT_EQ(flat.inSliceFrom, 0);
    EXPECT_EQ(flat.inSliceTo, 1);
    const CtSliceTrack shortOfIt = axial.Track(slice, in, {in.x, onPlane.y - 0.3, in.z});
    EXPECT_FALSE(shortOfIt.inSlice);
    const CtSliceTrack reaching = axial.Track(slice, in, {in.x, onPlane.y - 0.2, in.z});
    EXPECT_TRUE(reaching.inSlice);
    EXPECT_NEAR(reaching.inSliceFrom, 17.5 / 18, 1e-9);
    EXPECT_NEAR(reaching.inSliceTo, 1, 1e-9);
}

// The presets' ends: black and white where the windows put them, air in a wound channel black
// and the fat and muscle around it white in the air window.
TEST(CtWindow, PresetsPutTheirTissuesAtTheRightGreys) {
    const CtWindow soft = WindowOfPreset(CtWindowPreset::SoftTissue);
    EXPECT_EQ(soft, (CtWindow{400, 40}));
    EXPECT_EQ(GreyInWindow(soft, -160), 0);
    EXPECT_EQ(GreyInWindow(soft, 240), 255);
    EXPECT_NEAR(GreyInWindow(soft, 40), 128, 1);
    EXPECT_LT(GreyInWindow(soft, -100), GreyInWindow(soft, 40)); // fat darker than muscle
    const CtWindow air = WindowOfPreset(CtWindowPreset::Air);
    EXPECT_EQ(GreyInWindow(air, -1000), 0);
    EXPECT_EQ(GreyInWindow(air, -100), 255);
    EXPECT_EQ(GreyInWindow(air, 40), 255);
    EXPECT_GT(GreyInWindow(air, -600), 100); // half gas, half tissue: grey
    EXPECT_LT(GreyInWindow(air, -600), 155);
    const CtWindow lung = WindowOfPreset(CtWindowPreset::Lung);
    EXPECT_LT(GreyInWindow(lung, -850), GreyInWindow(lung, -500)); // lung against vessels
    EXPECT_EQ(GreyInWindow(lung, 3000), 255);
    const CtWindow bone = WindowOfPreset(CtWindowPreset::Bone);
    EXPECT_LT(GreyInWindow(bone, 700), GreyInWindow(bone, 1200)); // cortex shows its density
    EXPECT_GT(GreyInWindow(bone, 40), GreyInWindow(bone, -1000));
    EXPECT_EQ(GreyInWindow(CtWindow{0, 100}, 99), 0);
    EXPECT_EQ(GreyInWindow(CtWindow{0, 100}, 100), 255);
    for (CtWindowPreset preset : kCtWindowPresets) {
        EXPECT_FALSE(NameOfPreset(preset).empty());
    }
}

namespace {

// A grid of the size and axes given whose voxels differ from their neighbours, none alike in a
// wide window.
std::shared_ptr<CtScan> SlicerBlockScan(const std::array<int, 3>& size, const Vec3& row,
                                        const Vec3& column, const Vec3& across) {
    auto scan = std::make_shared<CtScan>();
    CtVolume& volume = scan->volume;
    volume.size = size;
    volume.spacing = {1, 1.5, 2};
    volume.rowDirection = row;
    volume.columnDirection = column;
    volume.sliceDirection = across;
    volume.hu.resize(static_cast<size_t>(size[0]) * size[1] * size[2]);
    for (size_t n = 0; n < volume.hu.size(); ++n) {
        volume.hu[n] = static_cast<int16_t>((n * 7919 + n / 13 * 104729) % 2001) - 1000;
    }
    scan->frame = SlicerTestFrame();
    return scan;
}

// Draws the slices in the order given, each from the blocks and from the volume itself, and
// counts the pictures that differ (and the slices no block was made ready for).
int BlockPicturesDiffering(const CtSlicer& slicer, const std::vector<int>& order) {
    const CtWindow wide{2000, 0};
    CtSliceImage cached, direct;
    int differing = 0;
    for (int slice : order) {
        // As it comes (from the volume while the block is built), then from the block.
        slicer.Draw(slice, wide, cached);
        slicer.DrawDirect(slice, wide, direct);
        differing += cached.grey != direct.grey;
        differing += !slicer.Prepare(slice);
        slicer.Draw(slice, wide, cached);
        slicer.DrawDirect(slice, wide, direct);
        differing += cached.grey != direct.grey || cached.width != direct.width ||
                     cached.height != direct.height;
    }
    return differing;
}

} // namespace

// Slices across the volume's rows come from blocks of neighbouring planes built ahead while
// scrolling: one slice on at a time both ways, across every block's edge and into the last,
// partial block, and jumps, give the pictures the volume itself gives, whichever way the rows,
// columns and slices run; a slicer ends cleanly while it prepares a block.
TEST(CtSlicer, DrawsFromBlocksWhatTheVolumeShows) {
    struct Layout {
        std::array<int, 3> size;
        Vec3 row, column, across;
        CtSliceOrientation orientation;
    };
    const Layout layouts[] = {
        {{70, 9, 7}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, CtSliceOrientation::Sagittal},
        {{70, 9, 7}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}, CtSliceOrientation::Sagittal},
        {{64, 11, 5}, {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}, CtSliceOrientation::Sagittal},
        {{97, 6, 8}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}, CtSliceOrientation::Coronal},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.size[0]);
        const std::shared_ptr<CtScan> scan =
            SlicerBlockScan(layout.size, layout.row, layout.column, layout.across);
        const CtSlicer slicer(*scan, layout.orientation);
        ASSERT_EQ(slicer.SliceCount(), layout.size[0]);
        std::vector<int> onward, back;
        for (int slice = 0; slice < slicer.SliceCount(); ++slice) {
            onward.push_back(slice);
            back.insert(back.begin(), slice);
        }
        EXPECT_EQ(BlockPicturesDiffering(slicer, onward), 0);
        EXPECT_EQ(BlockPicturesDiffering(slicer, back), 0);
        const int last = slicer.SliceCount() - 1;
        EXPECT_EQ(BlockPicturesDiffering(slicer, {last, 0, 31, 32, 33, 31, last, last - 1, 40}), 0);
        // Left while the block ahead may still be built.
        const CtSlicer brief(*scan, layout.orientation);
        EXPECT_EQ(BlockPicturesDiffering(brief, {last, last - 1}), 0);
    }
    // The phantom's sagittal slices as read from its series, all of them both ways.
    const std::shared_ptr<CtScan> phantom = SlicerPhantomScan(CtPhantomPosture::HeadFirstProne);
    ASSERT_NE(phantom, nullptr);
    const CtSlicer sagittal(*phantom, CtSliceOrientation::Sagittal);
    std::vector<int> there;
    for (int slice = 0; slice < sagittal.SliceCount(); ++slice) {
        there.push_back(slice);
    }
    for (int slice = sagittal.SliceCount() - 1; slice >= 0; --slice) {
        there.push_back(slice);
    }
    EXPECT_EQ(BlockPicturesDiffering(sagittal, there), 0);
}
