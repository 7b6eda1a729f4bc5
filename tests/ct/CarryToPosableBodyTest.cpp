#include "world/CarryToPosableBody.h"
#include "CtBodyPhantom.h"
#include "base/ProgramFiles.h"
#include "case/Case.h"
#include "support/BoxBody.h"
#include "world/CtBodyFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

const CtBodyPhantom& CarryBodyPhantom() {
    static const CtBodyPhantom phantom = [] {
        CtBodyPhantom loaded;
        EXPECT_TRUE(loaded.Load(DefaultModelFiles::Located().body));
        return loaded;
    }();
    return phantom;
}

Vec3 CarryMetres(const Vec3& centimetres) {
    return {centimetres.x / 100, centimetres.y / 100, centimetres.z / 100};
}

// Soles, back and midline of the body's surface as drawn (body frame, metres), measured here
// through the drawing transform, apart from the code under test.
Vec3 CarryDrawnPlanes(const Body& body) {
    double lowY = 1e9, lowZ = 1e9, lowX = 1e9, highX = -1e9;
    const Matrix4 draw = body.DrawTransform();
    for (const Vec3f& position : body.GetModel()->positions) {
        const Vec3 p = draw.TransformPoint(ToVec3(position));
        lowY = std::min(lowY, p.y);
        lowZ = std::min(lowZ, p.z);
        lowX = std::min(lowX, p.x);
        highX = std::max(highX, p.x);
    }
    return {(lowX + highX) / 2, lowY, lowZ};
}

// Height above the soles, offset from the midline and from the back, metres.
Vec3 CarryDescription(const Vec3& point, const Vec3& planes) {
    return Minus(point, planes);
}

// The body phantom at 8 mm voxels read as a case's body, with a shot through the chest (IN on
// the front, the fragment between, OUT on the back) and a bullet that stopped in the thigh.
Case CarryPhantomCase(const std::filesystem::path& folder, const CtBodyPhantom& phantom) {
    CtPhantomOptions options = CtBodyPhantomOptions();
    options.size = {88, 48, 256};
    options.pixelSpacing = {8, 8};
    options.sliceGap = 8;
    Case ctCase;
    EXPECT_TRUE(WriteCtBodyPhantom(folder, options, phantom).ok());
    const Status opened = OpenCtSeries(ctCase, folder.string());
    EXPECT_TRUE(opened.ok()) << opened.message();
    const CtBodyPhantomLayout& layout = phantom.Layout();
    Trajectory chest;
    chest.in = CarryMetres(layout.channel.a);
    chest.out = CarryMetres(layout.channel.b);
    chest.exited = true;
    chest.points.push_back({CarryMetres(layout.fragment.Centre()), 0.004, "trunk"});
    chest.radiusIn = 0.006;
    chest.radiusOut = 0.012;
    chest.label = "chest shot";
    chest.color = {0.2, 0.4, 0.6};
    chest.group = "A";
    ExteriorPoint hole;
    hole.point = {0.5, 1.2, 2.0};
    chest.exterior.push_back(hole);
    Trajectory thigh;
    thigh.in = CarryMetres(layout.bulletChannel.a);
    thigh.out = CarryMetres(layout.bullet.Centre());
    thigh.exited = false;
    ctCase.trajectories = {chest, thigh};
    Element bullet;
    bullet.centre = CarryMetres(layout.bullet.Centre());
    bullet.label = "bullet";
    ctCase.elements = {bullet};
    ctCase.info.Set(CaseInfo::Field::Number, "2026-117");
    return ctCase;
}

} // namespace

// Every point of the CT case keeps its height above the soles and its offsets from the midline
// and the back on the posable body, to within a centimetre, and takes the part it lies on
// there; what is not a point carries over as it was, and the carried case says where it came
// from. The phantom is the default body itself, so the carried points are also the phantom's
// own places on the default body.
TEST(CarryToPosableBody, PointsKeepTheirDescriptionsOnThePosableBody) {
    const CtBodyPhantom& phantom = CarryBodyPhantom();
    TemporaryFolder folder;
    const Case ctCase = CarryPhantomCase(folder.path(), phantom);
    ASSERT_TRUE(ctCase.ct.scan);
    Body posable;
    ASSERT_TRUE(posable.Load(DefaultModelFiles::Located().body).ok());
    posable.SetScaleX(1.3); // the carried body stands at stretches 1 whatever it had

    Case carried;
    const Status done = CarryToPosableBody(ctCase, posable, "posable.obj", carried);
    ASSERT_TRUE(done.ok()) << done.message();
    const double lengthM = ctCase.ct.scan->bodyLengthCm / 100;
    EXPECT_NEAR(carried.body.GetHeight(), lengthM, 1e-5);
    EXPECT_EQ(carried.body.GetScaleX(), 1.0);
    EXPECT_TRUE(carried.body.HasInitialPose());
    EXPECT_EQ(carried.bodyModelFile, "posable.obj");
    EXPECT_FALSE(carried.ct.IsCtBody());

    const Vec3 ctPlanes = CarryDrawnPlanes(ctCase.body);
    const Vec3 posablePlanes = CarryDrawnPlanes(carried.body);
    ASSERT_EQ(carried.trajectories.size(), 2u);
    std::vector<std::pair<Vec3, Vec3>> pairs; // (on the CT body, carried)
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < 2; ++i) {
        const Trajectory& before = ctCase.trajectories[i];
        const Trajectory& after = carried.trajectories[i];
        pairs.emplace_back(before.in, after.in);
        pairs.emplace_back(before.out, after.out);
        parts.push_back(after.inPart);
        parts.push_back(after.outPart);
        ASSERT_EQ(after.points.size(), before.points.size());
        for (std::size_t k = 0; k < after.points.size(); ++k) {
            pairs.emplace_back(before.points[k].point, after.points[k].point);
            parts.push_back(after.points[k].part);
            EXPECT_EQ(after.points[k].radius, before.points[k].radius);
        }
    }
    pairs.emplace_back(ctCase.elements[0].centre, carried.elements[0].centre);
    for (const auto& [before, after] : pairs) {
        const Vec3 wanted = CarryDescription(before, ctPlanes);
        const Vec3 got = CarryDescription(after, posablePlanes);
        EXPECT_NEAR(got.x, wanted.x, 0.01);
        EXPECT_NEAR(got.y, wanted.y, 0.01);
        EXPECT_NEAR(got.z, wanted.z, 0.01);
        // The phantom is the default body: a point comes back where it was put in the scan.
        EXPECT_NEAR(after.x, before.x, 0.01);
        EXPECT_NEAR(after.y, before.y, 0.01);
        EXPECT_NEAR(after.z, before.z, 0.01);
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i], carried.body.PartNearest(pairs[i].second)) << i;
    }
    // The bullet stopped in the left thigh; the chest shot's points are on the trunk.
    EXPECT_EQ(carried.trajectories[1].outPart, "left_thigh");
    EXPECT_EQ(carried.trajectories[0].points[0].part, "trunk");

    const Trajectory& chest = carried.trajectories[0];
    EXPECT_EQ(chest.label, "chest shot");
    EXPECT_EQ(chest.color, ctCase.trajectories[0].color);
    EXPECT_EQ(chest.radiusIn, 0.006);
    EXPECT_EQ(chest.RadiusOut(), 0.012);
    EXPECT_EQ(chest.group, "A");
    EXPECT_EQ(chest.exterior, ctCase.trajectories[0].exterior);
    EXPECT_FALSE(carried.trajectories[1].exited);
    EXPECT_EQ(carried.elements[0].label, "bullet");
    EXPECT_EQ(carried.info, ctCase.info);

    const CarriedFrom& record = carried.carriedFrom;
    EXPECT_EQ(record.ctFolder, ctCase.ct.folder);
    EXPECT_EQ(record.seriesUid, ctCase.ct.seriesUid);
    EXPECT_EQ(record.seriesSha256, ctCase.ct.scan->seriesSha256);
    EXPECT_NEAR(record.ctLength, lengthM, 1e-9);
    EXPECT_NEAR(record.bodyLength, lengthM, 1e-5);
    EXPECT_NEAR(record.bodyScale, lengthM / posable.GetHeight(), 1e-6);
}

// Only a case whose body is a scan that was read is carried, and only to a body model; a refusal
// leaves the output case as it was.
TEST(CarryToPosableBody, RefusesWhatCannotBeCarried) {
    Body posable;
    ASSERT_TRUE(posable.Load(DefaultModelFiles::Located().body).ok());
    Case modelCase;
    modelCase.trajectories.push_back(Trajectory());
    Case untouched;
    untouched.info.Set(CaseInfo::Field::Number, "kept");
    Case carried = untouched;
    const Status notScan = CarryToPosableBody(modelCase, posable, "man1.obj", carried);
    EXPECT_FALSE(notScan.ok());
    EXPECT_NE(notScan.message().find("not a CT scan"), std::string::npos) << notScan.message();
    EXPECT_EQ(carried, untouched);

    Case unread = modelCase;
    unread.ct.folder = "scan";
    EXPECT_FALSE(CarryToPosableBody(unread, posable, "man1.obj", carried).ok());
    EXPECT_EQ(carried, untouched);

    Case scanned = unread;
    scanned.ct.scan = std::make_shared<CtScan>(); // read, but of no length
    EXPECT_FALSE(CarryToPosableBody(scanned, posable, "man1.obj", carried).ok());
    EXPECT_EQ(carried, untouched);
    auto scan = std::make_shared<CtScan>();
    scan->bodyLengthCm = 170;
    scanned.ct.scan = scan;
    EXPECT_FALSE(CarryToPosableBody(scanned, Body(), "", carried).ok()); // no model
    EXPECT_EQ(carried, untouched);
}
