#include "world/CtBodyFile.h"
#include "CtPhantom.h"
#include "base/Sha256.h"
#include "case/Case.h"
#include "ct/CtBodyFrame.h"
#include "ct/CtMetal.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace {

class CancelAfterReading : public ProgressSink {
public:
    void SetProgress(int position) override { last = position; }
    bool CancelRequested() const override { return last >= 60; }
    int last = 0;
};

// The body's surface in the body frame (metres), as it is drawn and measured on.
std::array<double, 6> DrawnBoxOf(const Body& body) {
    std::array<double, 6> box = {1e9, 1e9, 1e9, -1e9, -1e9, -1e9};
    const Matrix4 draw = body.DrawTransform();
    for (const Vec3f& position : body.GetModel()->positions) {
        const Vec3 p = draw.TransformPoint(ToVec3(position));
        const double values[3] = {p.x, p.y, p.z};
        for (int axis = 0; axis < 3; ++axis) {
            box[axis] = std::min(box[axis], values[axis]);
            box[axis + 3] = std::max(box[axis + 3], values[axis]);
        }
    }
    return box;
}

std::string ConcatenatedSeriesBytes(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    std::string bytes;
    for (const std::string& name : names) {
        std::ifstream in(name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        bytes += text.str();
    }
    return bytes;
}

} // namespace

// The skin becomes the body without moving: the scan's body-frame points are the case's, in
// metres, the series' hash is that of its files in name order, and the phantom's metal bead is
// found once, at its body-frame place.
TEST(CtBodyFile, TheSkinIsTheBodyInTheFrameItDefines) {
    TemporaryFolder folder;
    CtPhantomOptions options;
    options.shuffledNames = true;
    ASSERT_TRUE(WriteCtPhantom(folder.path(), options).ok());

    Case theCase;
    const Status opened = OpenCtSeries(theCase, folder.path().string());
    ASSERT_TRUE(opened.ok()) << opened.message();
    ASSERT_TRUE(theCase.ct.scan);
    const CtScan& scan = *theCase.ct.scan;
    EXPECT_EQ(theCase.ct.seriesUid, options.seriesUid);
    EXPECT_EQ(scan.facts.size, options.size);
    EXPECT_EQ(scan.seriesSha256, Sha256Hex(ConcatenatedSeriesBytes(folder.path())));
    EXPECT_GT(scan.skinTriangles, 0u);
    EXPECT_GT(scan.boneTriangles, 0u);

    const std::array<double, 6> box = DrawnBoxOf(theCase.body);
    EXPECT_NEAR(box[1], 0.0, 1e-5);                       // soles
    EXPECT_NEAR(box[2], 0.0, 1e-5);                       // back
    EXPECT_NEAR(box[0] + box[3], 0.0, 1e-5);              // midline
    EXPECT_NEAR(box[4], scan.bodyLengthCm / 100.0, 1e-5); // top
    EXPECT_NEAR(theCase.body.GetHeight(), scan.bodyLengthCm / 100.0, 1e-5);
    // The phantom's middle, said in the body frame, lies inside the drawn body.
    const Vec3 middle = LpsToBody(scan.frame, CtPhantomCentre());
    EXPECT_GT(middle.y / 100.0, box[1]);
    EXPECT_LT(middle.y / 100.0, box[4]);
    EXPECT_GT(middle.z / 100.0, box[2]);
    EXPECT_LT(middle.z / 100.0, box[5]);

    EXPECT_TRUE(scan.metalFailure.empty());
    EXPECT_EQ(scan.metalThresholdHu, CtMetalOptions().thresholdHu);
    ASSERT_EQ(scan.metal.size(), 1u);
    const Vec3 bead = LpsToBody(
        scan.frame, {CtPhantomCentre().x + 14, CtPhantomCentre().y - 20, CtPhantomCentre().z + 20});
    EXPECT_TRUE(scan.metal[0].hasBodyCentroid);
    const Vec3 off = Minus(scan.metal[0].centroidBody, bead);
    EXPECT_LT(std::sqrt(Dot(off, off)), 0.1); // cm
    EXPECT_GT(scan.metal[0].volumeMm3, 200);  // a 4 mm ball: 268 mm3
}

// A series that cannot be read, or a cancel, leaves the case with the body it had; a relative
// folder in a case file is taken from the case file's folder.
TEST(CtBodyFile, FailuresKeepTheCaseAndRelativeFoldersFollowTheCaseFile) {
    TemporaryFolder folder;
    Case theCase;
    const auto before = theCase.body.GetBodyModel();
    const Status empty = OpenCtSeries(theCase, folder.File("missing"));
    EXPECT_FALSE(empty.ok());
    EXPECT_NE(empty.message().find("missing"), std::string::npos) << empty.message();
    EXPECT_FALSE(theCase.ct.IsCtBody());
    EXPECT_EQ(theCase.body.GetBodyModel(), before);

    std::filesystem::create_directories(folder.path() / "case" / "scan");
    ASSERT_TRUE(WriteCtPhantom(folder.path() / "case" / "scan", CtPhantomOptions()).ok());
    CancelAfterReading cancel;
    EXPECT_FALSE(
        OpenCtSeries(theCase, (folder.path() / "case" / "scan").string(), {}, &cancel).ok());
    EXPECT_FALSE(theCase.ct.scan);

    theCase.ct.folder = "scan";
    const Status loaded = LoadCtBody(theCase, folder.File("case/case.txt"));
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    ASSERT_TRUE(theCase.ct.scan);
    EXPECT_EQ(theCase.ct.folder, (folder.path() / "case" / "scan").string());
}
