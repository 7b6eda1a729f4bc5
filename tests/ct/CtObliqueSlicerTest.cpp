#include "ct/CtObliqueSlicer.h"
#include "CtBodyPhantom.h"
#include "base/ProgramFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace {

Vec3 ObliqueAt(const Vec3& a, const Vec3& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

Vec3 ObliqueShifted(const Vec3& p, const Vec3& by, double s) {
    return {p.x + by.x * s, p.y + by.y * s, p.z + by.z * s};
}

double ObliqueDistanceToLine(const Vec3& p, const Vec3& a, const Vec3& b) {
    const Vec3 d = Minus(b, a), w = Minus(p, a);
    const double t = Dot(w, d) / Dot(d, d);
    const Vec3 foot = ObliqueAt(a, b, t);
    const Vec3 off = Minus(p, foot);
    return std::sqrt(Dot(off, off));
}

// A volume of soft tissue (40 HU) with a straight air tube (radius 3 mm) from tubeA to tubeB
// (body frame, cm), voxels 1.5 x 1.5 x 2 mm on turned axes, the body frame's origin away from the
// patient frame's.
const Vec3 kTubeA{-2, 3, 1}, kTubeB{3, 7, 5};

std::shared_ptr<CtScan> ObliqueTubeScan() {
    auto scan = std::make_shared<CtScan>();
    scan->frame.originLps = {-40, 60, -20};
    CtVolume& volume = scan->volume;
    volume.size = {90, 80, 70};
    volume.spacing = {1.5, 1.5, 2};
    const double c = std::cos(0.3), s = std::sin(0.3);
    volume.rowDirection = {c, s, 0};
    volume.columnDirection = {-s, c, 0};
    volume.sliceDirection = {0, 0, 1};
    // The volume's middle at body point (0.5, 5, 3).
    const Vec3 middle = BodyToLps(scan->frame, {0.5, 5, 3});
    volume.origin = {middle.x - 44.5 * 1.5 * c + 39.5 * 1.5 * s,
                     middle.y - 44.5 * 1.5 * s - 39.5 * 1.5 * c, middle.z - 34.5 * 2};
    volume.hu.resize(90 * 80 * 70);
    for (int k = 0; k < 70; ++k)
        for (int j = 0; j < 80; ++j)
            for (int i = 0; i < 90; ++i) {
                const double u = i * 1.5, v = j * 1.5, w = k * 2.0;
                const Vec3 lps{volume.origin.x + u * c - v * s, volume.origin.y + u * s + v * c,
                               volume.origin.z + w};
                const bool air =
                    ObliqueDistanceToLine(LpsToBody(scan->frame, lps), kTubeA, kTubeB) < 0.3;
                volume.hu[static_cast<size_t>(i) + 90 * (j + 80 * static_cast<size_t>(k))] =
                    air ? -1000 : 40;
            }
    return scan;
}

// The slab's value at the picture point nearest a body point.
int16_t ObliqueHuAt(const CtObliquePlane& plane, const std::vector<int16_t>& hu, const Vec3& p) {
    const CtSlicePoint at = PicturePointOfBody(plane, p);
    const int x = static_cast<int>(std::floor(at.x)), y = static_cast<int>(std::floor(at.y));
    if (x < 0 || y < 0 || x >= plane.width || y >= plane.height)
        return 32767;
    return hu[static_cast<size_t>(y) * plane.width + x];
}

} // namespace

// The planes' geometry: the picture's axes, IN and OUT where they belong, the up rule and its
// fallback for a track along the head-foot axis, pixel <-> point round trips, a degenerate track.
TEST(CtObliquePlane, PlacesTheTrackAndMapsBothWays) {
    CtVolume volume;
    volume.spacing = {0.7, 0.7, 1.25};
    const Vec3 in{-5, 120, 20}, out{5, 110, 0};
    CtObliquePlane plane;
    ASSERT_TRUE(TrackPlane(volume, in, out, {}, plane));
    EXPECT_DOUBLE_EQ(plane.pixelMm, 0.7);
    const double length = std::sqrt(Dot(Minus(out, in), Minus(out, in)));
    EXPECT_EQ(plane.width, static_cast<int>(std::ceil((length + 6) * 10 / 0.7 - 1e-9)));
    EXPECT_EQ(plane.height, static_cast<int>(std::ceil(100 / 0.7 - 1e-9)));
    const CtSlicePoint pin = PicturePointOfBody(plane, in), pout = PicturePointOfBody(plane, out);
    EXPECT_NEAR(pin.y, plane.height / 2.0, 1e-9);
    EXPECT_NEAR(pout.y, plane.height / 2.0, 1e-9);
    EXPECT_NEAR(pin.x, plane.width / 2.0 - length * 5 / 0.7, 1e-9);
    EXPECT_NEAR(pout.x - pin.x, length * 10 / 0.7, 1e-9);
    EXPECT_NEAR(pin.offsetMm, 0, 1e-9);
    // Up is toward the head: a point higher up lies higher in the picture.
    EXPECT_LT(PicturePointOfBody(plane, ObliqueShifted(in, {0, 1, 0}, 1)).y, pin.y);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {17.5, 3.25}, {400.0, 120.0}}) {
        const CtSlicePoint back = PicturePointOfBody(plane, BodyOfPicturePoint(plane, x, y));
        EXPECT_NEAR(back.x, x, 1e-9);
        EXPECT_NEAR(back.y, y, 1e-9);
        EXPECT_NEAR(back.offsetMm, 0, 1e-9);
    }
    // Across the track at 25 %: the point at the picture's centre, the normal the track.
    CtObliquePlane cross;
    ASSERT_TRUE(CrossPlane(volume, in, out, 0.25, {}, cross));
    const CtSlicePoint quarter = PicturePointOfBody(cross, ObliqueAt(in, out, 0.25));
    EXPECT_NEAR(quarter.x, cross.width / 2.0, 1e-9);
    EXPECT_NEAR(quarter.y, cross.height / 2.0, 1e-9);
    EXPECT_NEAR(PicturePointOfBody(cross, out).offsetMm, 0.75 * length * 10, 1e-9);
    // Along the head-foot axis up turns to the front; any up is square to the track.
    const Vec3 up = UpOfTrack({0, -1, 0});
    EXPECT_NEAR(up.z, 1, 1e-12);
    const Vec3 slanted{0.6, 0.8, 0};
    EXPECT_NEAR(Dot(UpOfTrack(slanted), slanted), 0, 1e-12);
    EXPECT_GT(UpOfTrack(slanted).y, 0);
    // Options out of range are held: no picture of NaN or billions of pixels.
    CtObliqueOptions wild;
    wild.widthCm = std::nan("");
    wild.slabMm = 1e12;
    wild.marginCm = -5;
    wild.pixelMm = std::nan("");
    ASSERT_TRUE(TrackPlane(volume, in, out, wild, plane));
    EXPECT_EQ(plane.height, static_cast<int>(std::ceil(100 / 0.7 - 1e-9)));
    EXPECT_EQ(plane.width, static_cast<int>(std::ceil(length * 10 / 0.7 - 1e-9)));
    EXPECT_EQ(plane.slabMm, 50);
    wild.widthCm = 1e12;
    ASSERT_TRUE(CrossPlane(volume, in, out, 0.5, wild, plane));
    EXPECT_LE(plane.width, 4096);
    EXPECT_FALSE(TrackPlane(volume, in, in, {}, plane));
    EXPECT_FALSE(CrossPlane(volume, in, in, 0.5, {}, plane));
}

// A straight air tube at a known slant: along the track the slab is air, beside it tissue; a
// single plane moved off the tube by more than its radius shows no air while a slab reaching the
// tube still does; across the track the tube is a dark spot at the centre; grey follows the window.
TEST(CtObliqueSlicer, ShowsAnObliqueAirTube) {
    const std::shared_ptr<CtScan> scan = ObliqueTubeScan();
    CtObliqueSlicer slicer(*scan, 2);
    CtObliqueOptions options;
    options.marginCm = 1;
    options.widthCm = 4;
    options.slabMm = 6;
    CtObliquePlane plane;
    ASSERT_TRUE(TrackPlane(scan->volume, kTubeA, kTubeB, options, plane));
    std::vector<int16_t> hu;
    slicer.DrawHu(plane, hu);
    const Vec3 up = UpOfTrack([] {
        const Vec3 d = Minus(kTubeB, kTubeA);
        const double l = std::sqrt(Dot(d, d));
        return Vec3{d.x / l, d.y / l, d.z / l};
    }());
    for (double t = 0.05; t <= 0.95; t += 0.05) {
        const Vec3 p = ObliqueAt(kTubeA, kTubeB, t);
        EXPECT_LT(ObliqueHuAt(plane, hu, p), -900) << t;
        EXPECT_EQ(ObliqueHuAt(plane, hu, ObliqueShifted(p, up, 1.2)), 40) << t;
    }
    // The plane alone, 5 mm beside the tube along the normal: no air. A 14 mm slab reaches it.
    const Vec3 n = plane.normal;
    const Vec3 a5 = ObliqueShifted(kTubeA, n, 0.5), b5 = ObliqueShifted(kTubeB, n, 0.5);
    options.slabMm = 0;
    ASSERT_TRUE(TrackPlane(scan->volume, a5, b5, options, plane));
    slicer.DrawHu(plane, hu);
    for (double t = 0.1; t <= 0.9; t += 0.1)
        EXPECT_EQ(ObliqueHuAt(plane, hu, ObliqueAt(a5, b5, t)), 40) << t;
    options.slabMm = 14;
    ASSERT_TRUE(TrackPlane(scan->volume, a5, b5, options, plane));
    slicer.DrawHu(plane, hu);
    for (double t = 0.1; t <= 0.9; t += 0.1)
        EXPECT_LT(ObliqueHuAt(plane, hu, ObliqueAt(a5, b5, t)), -900) << t;
    // Across the track at the middle.
    options.slabMm = 0;
    ASSERT_TRUE(CrossPlane(scan->volume, kTubeA, kTubeB, 0.5, options, plane));
    slicer.DrawHu(plane, hu);
    const Vec3 mid = ObliqueAt(kTubeA, kTubeB, 0.5);
    EXPECT_EQ(ObliqueHuAt(plane, hu, mid), -1000);
    EXPECT_EQ(ObliqueHuAt(plane, hu, ObliqueShifted(mid, up, 0.6)), 40);
    // Far outside the volume: the outside value; the grey picture is the window of the values.
    options.outsideHu = -1024;
    ASSERT_TRUE(CrossPlane(scan->volume, {100, 100, 100}, {101, 100, 100}, 0, options, plane));
    slicer.DrawHu(plane, hu);
    EXPECT_EQ(hu.front(), -1024);
    // A volume whose voxels were never read is outside everywhere, not read beyond its end.
    CtScan unread;
    unread.volume.size = {4, 4, 4};
    unread.volume.spacing = {1, 1, 1};
    CtObliqueSlicer unreadSlicer(unread, 2);
    unreadSlicer.DrawHu(plane, hu);
    EXPECT_EQ(std::count(hu.begin(), hu.end(), -1024), static_cast<long>(hu.size()));
    ASSERT_TRUE(TrackPlane(scan->volume, kTubeA, kTubeB, options, plane));
    slicer.DrawHu(plane, hu);
    // One thread draws the same values as two.
    CtObliqueSlicer alone(*scan, 1);
    std::vector<int16_t> aloneHu;
    alone.DrawHu(plane, aloneHu);
    EXPECT_EQ(aloneHu, hu);
    CtSliceImage image;
    const CtWindow window = WindowOfPreset(CtWindowPreset::Air);
    slicer.Draw(plane, window, image);
    ASSERT_EQ(image.grey.size(), hu.size());
    EXPECT_EQ(image.width, plane.width);
    int same = 0;
    for (size_t n2 = 0; n2 < hu.size(); ++n2)
        same += image.grey[n2] == GreyInWindow(window, hu[n2]);
    EXPECT_EQ(same, static_cast<int>(hu.size()));
}

// The body phantom's wound channel through the chest, sampled on 2 mm voxels around it: the slab
// on the channel's own track shows air along it and no air 2 cm beside it; a track moved 2 cm
// off the channel shows no air line; picture points map to body points and back.
TEST(CtObliqueSlicer, ShowsTheBodyPhantomsWoundChannel) {
    CtBodyPhantom phantom;
    ASSERT_TRUE(phantom.Load(DefaultModelFiles::Located().body));
    const CtPhantomCapsule& channel = phantom.Layout().channel;
    auto scan = std::make_shared<CtScan>();
    CtVolume& volume = scan->volume;
    // Body x -20..4, y 124..146, z -10..38 cm; the patient frame's axes, its origin the body's.
    volume.size = {120, 240, 110};
    volume.spacing = {2, 2, 2};
    volume.origin = BodyToLps(scan->frame, {-20, 124, 38});
    volume.hu.resize(static_cast<size_t>(120) * 240 * 110);
    for (int k = 0; k < 110; ++k)
        for (int j = 0; j < 240; ++j)
            phantom.HuAlongRow({-20, 124 + 0.2 * k, 38 - 0.2 * j}, {0.2, 0, 0}, 120,
                               &volume.hu[static_cast<size_t>(120) * (j + 240 * k)]);
    CtObliqueSlicer slicer(*scan);
    CtObliquePlane plane;
    ASSERT_TRUE(TrackPlane(volume, channel.a, channel.b, {}, plane));
    std::vector<int16_t> hu;
    slicer.DrawHu(plane, hu);
    const Vec3 d = Minus(channel.b, channel.a);
    const double length = std::sqrt(Dot(d, d));
    const Vec3 up = UpOfTrack({d.x / length, d.y / length, d.z / length});
    // Only inside the skin (the track runs on through the air in front of and behind the
    // chest) and away from the metal fragment on the channel's axis.
    const auto inBody = [&](const Vec3& p) {
        const Vec3 f = Minus(p, phantom.Layout().fragment.a);
        return phantom.InsideSkin(p) && Dot(f, f) > 1;
    };
    int air = 0, airBeside = 0, samples = 0;
    for (double t = 0; t <= 1; t += 0.01) {
        const Vec3 p = ObliqueAt(channel.a, channel.b, t);
        const Vec3 above = ObliqueShifted(p, up, 2), below = ObliqueShifted(p, up, -2);
        if (!inBody(p) || !inBody(above) || !inBody(below))
            continue;
        ++samples;
        air += ObliqueHuAt(plane, hu, p) < -950;
        airBeside += ObliqueHuAt(plane, hu, above) < -900;
        airBeside += ObliqueHuAt(plane, hu, below) < -900;
    }
    EXPECT_GT(samples, 25);
    EXPECT_EQ(air, samples);
    EXPECT_EQ(airBeside, 0);
    const Vec3 off = plane.normal;
    const Vec3 a2 = ObliqueShifted(channel.a, off, 2), b2 = ObliqueShifted(channel.b, off, 2);
    CtObliquePlane moved;
    ASSERT_TRUE(TrackPlane(volume, a2, b2, {}, moved));
    slicer.DrawHu(moved, hu);
    int airOff = 0, samplesOff = 0;
    for (double t = 0; t <= 1; t += 0.01) {
        const Vec3 p = ObliqueAt(a2, b2, t);
        if (inBody(p)) {
            ++samplesOff;
            airOff += ObliqueHuAt(moved, hu, p) < -900;
        }
    }
    EXPECT_GT(samplesOff, 25);
    EXPECT_EQ(airOff, 0);
    for (const auto& [x, y] : {std::pair{10.5, 20.5}, {333.5, 71.5}}) {
        const CtSlicePoint back = PicturePointOfBody(plane, BodyOfPicturePoint(plane, x, y));
        EXPECT_NEAR(back.x, x, 1e-9);
        EXPECT_NEAR(back.y, y, 1e-9);
    }
}

// Every part is handed out exactly once, call after call, for any count against any number of
// threads, including none to hand out.
TEST(CtRowThreads, HandsOutEveryPartOnce) {
    for (int threadCount : {1, 2, 3}) {
        CtRowThreads threads(threadCount);
        EXPECT_EQ(threads.Threads(), threadCount);
        for (int count : {0, 1, 2, 5, 64, 1000}) {
            std::vector<std::atomic<int>> seen(static_cast<size_t>(count));
            for (int call = 0; call < 20; ++call) {
                auto parts = [&](int first, int end) {
                    for (int n = first; n < end; ++n)
                        seen[static_cast<size_t>(n)].fetch_add(1);
                };
                threads.ForParts(count, parts);
            }
            int wrong = 0;
            for (const std::atomic<int>& times : seen)
                wrong += times.load() != 20;
            EXPECT_EQ(wrong, 0) << threadCount << " threads, " << count << " parts";
        }
    }
}
