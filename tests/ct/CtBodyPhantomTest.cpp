#include "CtBodyPhantom.h"
#include "base/ProgramFiles.h"
#include "ct/CtBody.h"
#include "ct/CtSeriesReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

class BodyPhantomFolder {
public:
    BodyPhantomFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ruvo-ctbody-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~BodyPhantomFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    BodyPhantomFolder(const BodyPhantomFolder&) = delete;
    BodyPhantomFolder& operator=(const BodyPhantomFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

const CtBodyPhantom& DefaultBodyPhantom() {
    static const CtBodyPhantom phantom = [] {
        CtBodyPhantom loaded;
        EXPECT_TRUE(loaded.Load(DefaultModelFiles::Located().body));
        return loaded;
    }();
    return phantom;
}

Vec3 BodyVoxelLps(const CtVolume& v, int i, int j, int k) {
    const double a = i * v.spacing[0], b = j * v.spacing[1], c = k * v.spacing[2];
    return {v.origin.x + a * v.rowDirection.x + b * v.columnDirection.x + c * v.sliceDirection.x,
            v.origin.y + a * v.rowDirection.y + b * v.columnDirection.y + c * v.sliceDirection.y,
            v.origin.z + a * v.rowDirection.z + b * v.columnDirection.z + c * v.sliceDirection.z};
}

// The voxel whose centre is nearest to a patient point, by the volume's own geometry.
int16_t HuNearest(const CtVolume& v, const Vec3& lps) {
    const Vec3 d = Minus(lps, v.origin);
    const int i = static_cast<int>(std::lround(Dot(d, v.rowDirection) / v.spacing[0]));
    const int j = static_cast<int>(std::lround(Dot(d, v.columnDirection) / v.spacing[1]));
    const int k = static_cast<int>(std::lround(Dot(d, v.sliceDirection) / v.spacing[2]));
    if (i < 0 || j < 0 || k < 0 || i >= v.size[0] || j >= v.size[1] || k >= v.size[2])
        return 0;
    return v.At(i, j, k);
}

// A closed outward-facing octahedron: apexes at y = 0 and y = 2, its equator at y = 1 with corners
// at x = +-1 and z = +-1.
std::vector<CtBodySection::Triangle> OctahedronTriangles() {
    const Vec3 bottom{0, 0, 0}, top{0, 2, 0};
    const Vec3 ring[4] = {{1, 1, 0}, {0, 1, -1}, {-1, 1, 0}, {0, 1, 1}};
    std::vector<CtBodySection::Triangle> triangles;
    for (int n = 0; n < 4; ++n) {
        const Vec3& a = ring[n];
        const Vec3& b = ring[(n + 1) % 4];
        triangles.push_back({a, b, top});
        triangles.push_back({b, a, bottom});
    }
    return triangles;
}

} // namespace

// The outline of a plane through a solid's corners and the rows through the outline's corners:
// each corner counts once, so the points on those rows are inside exactly where they should be.
TEST(CtBodySection, CountsCornersOnTheLineOnce) {
    const std::vector<CtBodySection::Triangle> triangles = OctahedronTriangles();
    const CtBodySection equator(triangles, 1.0, 0.25);
    ASSERT_FALSE(equator.Empty());
    for (const double x : {-0.99, -0.5, 0.0, 0.5, 0.99})
        EXPECT_TRUE(equator.Inside(x, 0.0)) << x; // the row through the corners at x = +-1
    EXPECT_FALSE(equator.Inside(-1.01, 0.0));
    EXPECT_FALSE(equator.Inside(1.01, 0.0));
    EXPECT_TRUE(equator.Inside(0.0, 0.99));
    EXPECT_FALSE(equator.Inside(0.0, 1.01));
    EXPECT_FALSE(equator.Inside(0.6, 0.6)); // outside the diamond, inside its box
    std::vector<std::pair<double, int>> crossings;
    equator.Crossings(0.5, crossings);
    ASSERT_EQ(crossings.size(), 2u);
    EXPECT_NEAR(crossings[0].first, -0.5, 1e-12);
    EXPECT_NEAR(crossings[1].first, 0.5, 1e-12);
    EXPECT_EQ(crossings[0].second + crossings[1].second, 0);

    const CtBodySection half(triangles, 0.5, 0.25); // a diamond half as wide
    EXPECT_TRUE(half.Inside(0.45, 0.0));
    EXPECT_FALSE(half.Inside(0.55, 0.0));
    EXPECT_TRUE(half.Within(0.3, 0.0, 0.25));  // 0.14 from the two sides
    EXPECT_FALSE(half.Within(0.0, 0.0, 0.25)); // 0.35 from every side
    EXPECT_TRUE(CtBodySection(triangles, 2.5, 0.25).Empty());
}

// The solids lie where the layout says, inside the skin, and the channels run from outside the
// skin into the body: a layout that drifted out of the default body would test nothing.
TEST(CtBodyPhantom, PlacesItsPartsInsideTheDefaultBody) {
    const CtBodyPhantom& phantom = DefaultBodyPhantom();
    EXPECT_NEAR(phantom.HeightCm(), 200, 0.01);
    EXPECT_NEAR(phantom.WidthCm(), 64.36, 0.01);
    EXPECT_NEAR(phantom.DepthCm(), 33.41, 0.01);
    const CtBodyPhantomLayout& layout = phantom.Layout();
    for (const CtPhantomCapsule& bone : layout.bones) {
        SCOPED_TRACE(bone.name);
        EXPECT_TRUE(phantom.InsideSkin(bone.a));
        EXPECT_TRUE(phantom.InsideSkin(bone.b));
        if (bone.shell == 0) {
            EXPECT_EQ(phantom.HuAtBody(bone.Centre()), CtBodyPhantomLayout::kBoneHu);
        }
    }
    const Vec3 skullTop{0, 187 + 6.2, 15.5};
    EXPECT_EQ(phantom.HuAtBody(skullTop), CtBodyPhantomLayout::kBoneHu);
    EXPECT_EQ(phantom.HuAtBody(layout.bones[2].Centre()), CtBodyPhantomLayout::kTissueHu);
    EXPECT_FALSE(phantom.InsideSkin(layout.channel.a));
    EXPECT_FALSE(phantom.InsideSkin(layout.channel.b));
    EXPECT_TRUE(phantom.InsideSkin(layout.channel.Centre()));
    EXPECT_FALSE(phantom.InsideSkin(layout.bulletChannel.a));
    EXPECT_TRUE(phantom.InsideSkin(layout.bullet.a));
    EXPECT_TRUE(phantom.InsideSkin(layout.bullet.b));
    EXPECT_TRUE(phantom.InsideSkin(layout.fragment.Centre()));

    const std::map<std::string, int16_t> expected = {
        {"channel middle", -1000}, {"fragment", 3000}, {"bullet", 3000}, {"left lung", -800},
        {"left femur", 700},       {"spine", 700},     {"belly", 40}};
    const auto points = phantom.KnownPoints();
    ASSERT_EQ(points.size(), expected.size());
    for (const CtBodyPhantom::KnownPoint& point : points)
        EXPECT_EQ(point.hu, expected.at(point.name)) << point.name;

    // Fat under the skin of the belly, soft tissue deeper; the air in front of it.
    Vec3 front{0, 110, 14};
    while (phantom.InsideSkin(front))
        front.z += 0.05;
    EXPECT_GT(front.z, 18);
    EXPECT_EQ(phantom.HuAtBody({0, 110, front.z - 0.5}), CtBodyPhantomLayout::kFatHu);
    EXPECT_EQ(phantom.HuAtBody({0, 110, front.z - 2}), CtBodyPhantomLayout::kTissueHu);
    EXPECT_EQ(phantom.HuAtBody({0, 110, front.z + 0.5}), CtBodyPhantomLayout::kAirHu);
    // Between the legs and beside the arms there is air.
    EXPECT_EQ(phantom.HuAtBody({0, 40, 10}), CtBodyPhantomLayout::kAirHu);
    EXPECT_EQ(phantom.HuAtBody({-31, 140, 10}), CtBodyPhantomLayout::kAirHu);
}

// The trunk at 4 mm (the voxels the known points need), read back in several layouts: every voxel
// has the phantom's value at its patient position, and the known points their tissue.
TEST(CtBodyPhantom, ReadsBackAtItsPatientPositionInEveryLayout) {
    const CtBodyPhantom& phantom = DefaultBodyPhantom();
    CtPhantomOptions headFirst = CtBodyPhantomOptions();
    // 48 x 38 x 96 cm about the body's middle: the thighs to the chest, the arms cut off at the
    // sides as a field of view cuts them.
    headFirst.size = {120, 96, 240};
    CtPhantomOptions feetFirst = headFirst;
    feetFirst.posture = CtPhantomPosture::FeetFirstSupine;
    feetFirst.shuffledNames = true;
    feetFirst.unsignedPixels = true;
    feetFirst.intercept = -1024;
    CtPhantomOptions prone = headFirst;
    prone.posture = CtPhantomPosture::HeadFirstProne;
    prone.shuffledNames = true;
    prone.intercept = -1024;
    prone.slope = 0.5;
    prone.compression = CtPhantomCompression::Rle;
    for (const CtPhantomOptions& options : {headFirst, feetFirst, prone}) {
        SCOPED_TRACE(static_cast<int>(options.posture));
        BodyPhantomFolder folder;
        ASSERT_TRUE(WriteCtBodyPhantom(folder.path(), options, phantom));
        CtSeriesReader reader;
        ASSERT_TRUE(reader.Read(folder.path()));
        const CtVolume& volume = reader.Volume();
        EXPECT_EQ(volume.size, options.size);
        EXPECT_NEAR(volume.spacing[0], 4, 1e-6);
        EXPECT_NEAR(volume.spacing[2], 4, 1e-6);
        EXPECT_EQ(reader.Facts().minHu, -1000);
        EXPECT_EQ(reader.Facts().maxHu, 3000);
        EXPECT_EQ(reader.Facts().description, "CT body phantom");
        int wrong = 0;
        for (int k = 0; k < volume.size[2]; ++k)
            for (int j = 0; j < volume.size[1]; ++j)
                for (int i = 0; i < volume.size[0]; ++i)
                    if (volume.At(i, j, k) !=
                        phantom.HuAtBody(phantom.ToBody(options, BodyVoxelLps(volume, i, j, k))))
                        ++wrong;
        EXPECT_EQ(wrong, 0);
        for (const CtBodyPhantom::KnownPoint& point : phantom.KnownPoints())
            EXPECT_EQ(HuNearest(volume, phantom.ToLps(options, point.bodyCm)), point.hu)
                << point.name;
    }
}

// Head first, feet first and prone are the same body: the same length, within half a voxel of
// the model's height, and every known point at its own body-frame position within half a voxel.
TEST(CtBodyPhantom, GivesTheSameBodyInEveryPosture) {
    const CtBodyPhantom& phantom = DefaultBodyPhantom();
    CtPhantomOptions headFirst = CtBodyPhantomOptions();
    headFirst.size = {88, 48, 256};
    headFirst.pixelSpacing = {8, 8};
    headFirst.sliceGap = 8;
    CtPhantomOptions feetFirst = headFirst;
    feetFirst.posture = CtPhantomPosture::FeetFirstSupine;
    feetFirst.unsignedPixels = true;
    feetFirst.intercept = -1024;
    CtPhantomOptions prone = headFirst;
    prone.posture = CtPhantomPosture::HeadFirstProne;
    prone.shuffledNames = true;
    const double halfVoxelCm = 0.4;
    for (const CtPhantomOptions& options : {headFirst, feetFirst, prone}) {
        SCOPED_TRACE(static_cast<int>(options.posture));
        BodyPhantomFolder folder;
        ASSERT_TRUE(WriteCtBodyPhantom(folder.path(), options, phantom));
        CtSeriesReader reader;
        ASSERT_TRUE(reader.Read(folder.path()));
        CtBodySurfaces surfaces;
        ASSERT_TRUE(BuildCtBody(reader.Volume(), {}, surfaces));
        EXPECT_NEAR(surfaces.lengthCm, phantom.HeightCm(), halfVoxelCm);
        EXPECT_GT(surfaces.bone.triangles.size(), 0u);
        for (const CtBodyPhantom::KnownPoint& point : phantom.KnownPoints()) {
            const Vec3 body = LpsToBody(surfaces.frame, phantom.ToLps(options, point.bodyCm));
            EXPECT_NEAR(body.x, point.bodyCm.x, halfVoxelCm) << point.name;
            EXPECT_NEAR(body.y, point.bodyCm.y, halfVoxelCm) << point.name;
            EXPECT_NEAR(body.z, point.bodyCm.z, halfVoxelCm) << point.name;
        }
    }
}
