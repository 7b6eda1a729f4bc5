#include "ct/CtMetal.h"
#include "CtPhantom.h"
#include "ct/CtBody.h"
#include "ct/CtSeriesReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>

namespace {

constexpr double kMetalPi = 3.14159265358979323846;

// A scene in the patient frame: the value at a point (LPS, mm) before the scanner's blur.
using MetalScene = std::function<double(const Vec3&)>;

struct MetalGridShape {
    std::array<int, 3> size{};
    double spacing = 1;
    Vec3 origin;
    Vec3 row{1, 0, 0}, column{0, 1, 0}, slice{0, 0, 1};
};

Vec3 MetalVoxelCentre(const MetalGridShape& shape, double i, double j, double k) {
    const double a = i * shape.spacing, b = j * shape.spacing, c = k * shape.spacing;
    return {shape.origin.x + a * shape.row.x + b * shape.column.x + c * shape.slice.x,
            shape.origin.y + a * shape.row.y + b * shape.column.y + c * shape.slice.y,
            shape.origin.z + a * shape.row.z + b * shape.column.z + c * shape.slice.z};
}

// Each voxel takes the mean of 4 x 4 x 4 samples of the scene over its own extent, as a scanner
// averages what a voxel holds, plus Gaussian noise, rounded like stored values.
CtVolume SampleMetalScene(const MetalGridShape& shape, const MetalScene& scene,
                          double noiseHu = 15) {
    CtVolume volume;
    volume.size = shape.size;
    volume.spacing = {shape.spacing, shape.spacing, shape.spacing};
    volume.origin = shape.origin;
    volume.rowDirection = shape.row;
    volume.columnDirection = shape.column;
    volume.sliceDirection = shape.slice;
    volume.hu.resize(static_cast<size_t>(shape.size[0]) * shape.size[1] * shape.size[2]);
    std::mt19937 random(42);
    std::normal_distribution<double> noise(0, noiseHu);
    constexpr int kSamples = 4;
    size_t index = 0;
    for (int k = 0; k < shape.size[2]; ++k) {
        for (int j = 0; j < shape.size[1]; ++j) {
            for (int i = 0; i < shape.size[0]; ++i) {
                double sum = 0;
                for (int s = 0; s < kSamples * kSamples * kSamples; ++s) {
                    const double di = (s % kSamples + 0.5) / kSamples - 0.5;
                    const double dj = ((s / kSamples) % kSamples + 0.5) / kSamples - 0.5;
                    const double dk = (s / (kSamples * kSamples) + 0.5) / kSamples - 0.5;
                    sum += scene(MetalVoxelCentre(shape, i + di, j + dj, k + dk));
                }
                const double value = sum / (kSamples * kSamples * kSamples) + noise(random);
                volume.hu[index++] =
                    static_cast<int16_t>(std::lround(std::clamp(value, -1024.0, 3071.0)));
            }
        }
    }
    return volume;
}

// A cube of `sideMm` voxels of `spacing` centred on `centre`, in the axial orientation.
MetalGridShape MetalCube(const Vec3& centre, double sideMm, double spacing) {
    MetalGridShape shape;
    const int n = static_cast<int>(std::lround(sideMm / spacing));
    shape.size = {n, n, n};
    shape.spacing = spacing;
    const double half = (n - 1) * spacing / 2;
    shape.origin = {centre.x - half, centre.y - half, centre.z - half};
    return shape;
}

double MetalDistance(const Vec3& a, const Vec3& b) {
    const Vec3 d = Minus(a, b);
    return std::sqrt(Dot(d, d));
}

bool InsideSphere(const Vec3& p, const Vec3& centre, double radius) {
    return MetalDistance(p, centre) <= radius;
}

// A capsule: the points within `radius` of the segment from a to b.
bool InsideCapsule(const Vec3& p, const Vec3& a, const Vec3& b, double radius) {
    const Vec3 ab = Minus(b, a), ap = Minus(p, a);
    const double t = std::clamp(Dot(ap, ab) / Dot(ab, ab), 0.0, 1.0);
    return MetalDistance(p, {a.x + t * ab.x, a.y + t * ab.y, a.z + t * ab.z}) <= radius;
}

constexpr double kTissueHu = 40, kMetalHu = 3000;

TEST(CtMetal, MeasuresSpheresWithPartialVolumeEdges) {
    const Vec3 centre{12.3, -40.7, -305.2};
    for (double radius : {2.0, 3.5, 5.0}) {
        for (double spacing : {0.5, 0.75, 1.0}) {
            SCOPED_TRACE("radius " + std::to_string(radius) + " mm, voxels " +
                         std::to_string(spacing) + " mm");
            const MetalScene scene = [&](const Vec3& p) {
                return InsideSphere(p, centre, radius) ? kMetalHu : kTissueHu;
            };
            const CtVolume volume =
                SampleMetalScene(MetalCube({10, -40, -305}, 4 * radius + 12, spacing), scene);
            std::vector<CtMetalObject> objects;
            ASSERT_TRUE(FindCtMetal(volume, {}, objects));
            ASSERT_EQ(objects.size(), 1u);
            const CtMetalObject& bead = objects[0];
            const double truth = 4.0 / 3.0 * kMetalPi * radius * radius * radius;
            EXPECT_LT(MetalDistance(bead.centroidLps, centre), 1.0);
            EXPECT_NEAR(bead.volumeMm3, truth, 0.1 * truth);
            // Half a voxel, and a little for the 4 x 4 x 4 samples that make a voxel.
            EXPECT_NEAR(bead.extentMm, 2 * radius, 0.6 * spacing);
            EXPECT_GE(bead.peakHu, 2500);
            EXPECT_LE(bead.peakHu, 3100);
            EXPECT_FALSE(bead.hasBodyCentroid);
            // The threshold alone misses the edges.
            EXPECT_LT(static_cast<double>(bead.voxels) * spacing * spacing * spacing, truth);
        }
    }
}

// A 9 mm bullet, 20 mm long, lying across the axial slices, with the streaks a scanner draws from
// metal: bright and dark lines radiating from it within each slice through it, the dark ones
// cutting lines of its own voxels below the threshold, and a few stray bright voxels away from it.
TEST(CtMetal, FindsAStreakedBulletAsOneObject) {
    const Vec3 tip{-6, -44, -300}, base{5, -41, -300}; // the axis of the capsule's cylinder
    const double radius = 4.5;
    const Vec3 middle{(tip.x + base.x) / 2, (tip.y + base.y) / 2, (tip.z + base.z) / 2};
    constexpr int kLines = 12;
    const MetalScene scene = [&](const Vec3& p) {
        double value = InsideCapsule(p, tip, base, radius) ? kMetalHu : kTissueHu;
        if (std::abs(p.z - middle.z) > radius + 1) {
            return value;
        }
        const double dx = p.x - middle.x, dy = p.y - middle.y;
        const double rho = std::hypot(dx, dy);
        for (int line = 0; line < kLines; ++line) {
            const double angle = kMetalPi * line / kLines + 0.1;
            // Distance to the whole line through the middle: streaks run out on both sides.
            const double off = std::abs(-std::sin(angle) * dx + std::cos(angle) * dy);
            if (off < 0.5) {
                const double fade = 1 / (1 + rho / 15);
                value += (line % 2 == 0 ? 1200 : -2000) * fade;
            }
        }
        return value;
    };
    MetalGridShape shape = MetalCube(middle, 60, 1.0);
    CtVolume volume = SampleMetalScene(shape, scene, 20);
    // Stray bright voxels well away from the bullet.
    for (const auto& [i, j, k] : {std::array<int, 3>{5, 5, 30}, {50, 8, 20}, {10, 52, 40}}) {
        volume.hu[i + 60 * (j + 60 * static_cast<size_t>(k))] = 2800;
    }
    std::vector<CtMetalObject> objects;
    ASSERT_TRUE(FindCtMetal(volume, {}, objects));
    ASSERT_EQ(objects.size(), 1u);
    const double truth = kMetalPi * radius * radius * MetalDistance(tip, base) +
                         4.0 / 3.0 * kMetalPi * radius * radius * radius;
    EXPECT_LT(MetalDistance(objects[0].centroidLps, middle), 1.0);
    // The dark lines through the metal take a little of its volume; bright streak voxels must
    // not add much to it.
    EXPECT_GT(objects[0].volumeMm3, 0.85 * truth);
    EXPECT_LT(objects[0].volumeMm3, 1.05 * truth);
    EXPECT_NEAR(objects[0].extentMm, MetalDistance(tip, base) + 2 * radius, 1.5);

    // Without the joining distance the dark lines do cut it into pieces: the rule is what holds
    // it together.
    ASSERT_TRUE(FindCtMetal(volume, {.joinDistanceMm = 0}, objects));
    EXPECT_GT(objects.size(), 1u);
}

TEST(CtMetal, KeepsFragmentsApartAndOrdersThemByVolume) {
    const Vec3 small{-5, 0, 0}, large{5, 0, 0.5}; // 10 mm apart: a 4.5 mm gap between them
    const MetalScene scene = [&](const Vec3& p) {
        return InsideSphere(p, small, 2.5) || InsideSphere(p, large, 3.0) ? kMetalHu : kTissueHu;
    };
    const CtVolume volume = SampleMetalScene(MetalCube({0, 0, 0}, 30, 0.75), scene);
    std::vector<CtMetalObject> objects;
    ASSERT_TRUE(FindCtMetal(volume, {}, objects));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_LT(MetalDistance(objects[0].centroidLps, large), 1.0);
    EXPECT_LT(MetalDistance(objects[1].centroidLps, small), 1.0);
    EXPECT_NEAR(objects[0].volumeMm3, 4.0 / 3.0 * kMetalPi * 27, 0.1 * 4.0 / 3.0 * kMetalPi * 27);
    EXPECT_NEAR(objects[1].volumeMm3, 4.0 / 3.0 * kMetalPi * 15.625,
                0.1 * 4.0 / 3.0 * kMetalPi * 15.625);

    // The same on one thread and on two, and with a progress sink that follows the work.
    struct Progress : ProgressSink {
        int last = -1;
        void SetProgress(int position) override { last = position; }
    } progress;
    std::vector<CtMetalObject> single;
    ASSERT_TRUE(FindCtMetal(volume, {.threads = 1}, single, nullptr, &progress));
    EXPECT_EQ(progress.last, 100);
    ASSERT_EQ(single.size(), 2u);
    for (size_t n = 0; n < 2; ++n) {
        EXPECT_EQ(single[n].volumeMm3, objects[n].volumeMm3);
        EXPECT_EQ(single[n].centroidLps.x, objects[n].centroidLps.x);
    }

    // Closer than the joining distance (a 2 mm gap), they are taken for one broken object.
    const Vec3 near{1.5, 0, 0.5};
    const MetalScene close = [&](const Vec3& p) {
        return InsideSphere(p, small, 2.5) || InsideSphere(p, near, 3.0) ? kMetalHu : kTissueHu;
    };
    ASSERT_TRUE(FindCtMetal(SampleMetalScene(MetalCube({0, 0, 0}, 30, 0.75), close), {}, objects));
    EXPECT_EQ(objects.size(), 1u);
}

TEST(CtMetal, FindsNothingInBoneAndTissue) {
    // Soft tissue, a bone with a dense cortex, air and noise: nothing reaches the metal.
    const MetalScene scene = [](const Vec3& p) {
        const double r = std::hypot(p.x, p.y);
        return r < 6 ? 400.0 : r < 9 ? 1900.0 : r < 25 ? kTissueHu : -1000.0;
    };
    const CtVolume volume = SampleMetalScene(MetalCube({0, 0, 0}, 60, 1.0), scene, 40);
    std::vector<CtMetalObject> objects{CtMetalObject{}};
    ASSERT_TRUE(FindCtMetal(volume, {}, objects));
    EXPECT_TRUE(objects.empty());

    // A threshold in the bone finds the cortex as one object around the marrow.
    ASSERT_TRUE(FindCtMetal(volume, {.thresholdHu = 1500}, objects));
    EXPECT_EQ(objects.size(), 1u);

    // A threshold in the soft tissue is refused before its voxels fill the memory.
    CtVolume large = volume;
    large.size[2] *= 6;
    large.hu.resize(large.hu.size() * 6, 40);
    const Status tooLow = FindCtMetal(large, {.thresholdHu = 0}, objects);
    EXPECT_FALSE(tooLow);
    EXPECT_NE(tooLow.message().find("too low"), std::string::npos);
    EXPECT_TRUE(objects.empty());

    // A volume whose values disagree with its size is refused, and a cancel is honoured.
    CtVolume broken = volume;
    broken.hu.pop_back();
    EXPECT_FALSE(FindCtMetal(broken, {}, objects));
    struct Cancel : ProgressSink {
        void SetProgress(int) override {}
        bool CancelRequested() const override { return true; }
    } cancel;
    EXPECT_FALSE(FindCtMetal(volume, {.thresholdHu = 1500}, objects, nullptr, &cancel));
    EXPECT_TRUE(objects.empty());
}

// The same bead sampled in other orientations of the voxel grid lies at the same patient point,
// and so at the same body point.
TEST(CtMetal, GivesTheSameCentroidInEveryGridOrientation) {
    const Vec3 centre{3.2, -1.4, 2.7};
    const MetalScene scene = [&](const Vec3& p) {
        return InsideSphere(p, centre, 3.0) ? kMetalHu : kTissueHu;
    };
    MetalGridShape supine = MetalCube({0, 0, 0}, 24, 0.8);
    MetalGridShape proneFeetFirst = supine;
    proneFeetFirst.row = {-1, 0, 0};
    proneFeetFirst.column = {0, -1, 0};
    proneFeetFirst.origin = {-supine.origin.x, -supine.origin.y, supine.origin.z};
    MetalGridShape oblique = supine;
    const double c = std::cos(0.5), s = std::sin(0.5);
    oblique.row = {c, s, 0};
    oblique.column = {-s * c, c * c, s};
    oblique.slice = Cross(oblique.row, oblique.column);
    const double half = (supine.size[0] - 1) * supine.spacing / 2;
    oblique.origin = {-half * (oblique.row.x + oblique.column.x + oblique.slice.x),
                      -half * (oblique.row.y + oblique.column.y + oblique.slice.y),
                      -half * (oblique.row.z + oblique.column.z + oblique.slice.z)};
    const CtBodyFrame frame{{-100, 120, -900}};
    for (const MetalGridShape& shape : {supine, proneFeetFirst, oblique}) {
        std::vector<CtMetalObject> objects;
        ASSERT_TRUE(FindCtMetal(SampleMetalScene(shape, scene), {}, objects, &frame));
        ASSERT_EQ(objects.size(), 1u);
        ASSERT_TRUE(objects[0].hasBodyCentroid);
        const Vec3 body = LpsToBody(frame, centre);
        EXPECT_LT(MetalDistance(objects[0].centroidBody, body), 0.1); // cm
        EXPECT_NEAR(objects[0].volumeMm3, 36 * kMetalPi, 3.6 * kMetalPi);
    }
}

// A fresh folder for one phantom series, removed at the end.
class MetalTestFolder {
public:
    MetalTestFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ruvo-metal-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~MetalTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    MetalTestFolder(const MetalTestFolder&) = delete;
    MetalTestFolder& operator=(const MetalTestFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The phantom series' bead (4 mm radius) found in the series as written in three postures on the
// table, at the same body point each time: the body frame comes from each series' own skin.
TEST(CtMetal, FindsThePhantomBeadAtOneBodyPointInEveryPosture) {
    const Vec3 centre = CtPhantomCentre();
    const Vec3 bead{centre.x + 14, centre.y - 20, centre.z + 20};
    Vec3 first;
    for (CtPhantomPosture posture :
         {CtPhantomPosture::HeadFirstSupine, CtPhantomPosture::FeetFirstSupine,
          CtPhantomPosture::HeadFirstProne}) {
        MetalTestFolder folder;
        CtPhantomOptions options;
        options.posture = posture;
        ASSERT_TRUE(WriteCtPhantom(folder.path(), options));
        CtSeriesReader reader;
        ASSERT_TRUE(reader.Read(folder.path()));
        CtBodySurfaces surfaces;
        ASSERT_TRUE(BuildCtBody(reader.Volume(), {}, surfaces));
        CtScan scan;
        scan.volume = reader.TakeVolume();
        scan.frame = surfaces.frame;
        std::vector<CtMetalObject> objects;
        ASSERT_TRUE(FindCtMetal(scan, {}, objects));
        ASSERT_EQ(objects.size(), 1u);
        ASSERT_TRUE(objects[0].hasBodyCentroid);
        EXPECT_LT(MetalDistance(objects[0].centroidLps, bead), 1.0);
        const double truth = 4.0 / 3.0 * kMetalPi * 64;
        EXPECT_NEAR(objects[0].volumeMm3, truth, 0.1 * truth);
        EXPECT_EQ(objects[0].peakHu, 3000);
        if (posture == CtPhantomPosture::HeadFirstSupine) {
            first = objects[0].centroidBody;
        } else {
            EXPECT_LT(MetalDistance(objects[0].centroidBody, first), 0.1); // cm
        }
    }
}

} // namespace
