#include "app/cli/CommandLine.h"
#include "case/PosedCase.h"
#include "casefile/DataFile.h"
#include "support/BoxBody.h"
#include "view/SurfacePicking.h"
#include "view/ViewState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace {

struct CommandResult {
    int status = 0;
    std::string out;
    std::string err;
};

CommandResult SurfacePoint(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    CommandResult run;
    run.status = RunHeadless(ParseCommandLine(arguments), out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

} // namespace

// The box body stands 1.8 m tall (scale 0.9), its front face at z = 0.27 m. Seen from the front
// at 200x100, pixel (100, 50) has its centre 0.5 px right of and below the image centre, so its
// ray leaves the eye at (0, 1, 2.5) with slope tan(30 deg) * 0.01 both ways (aspect 2 sideways).
TEST(SurfacePointCommandTest, PrintsThePointUnderThePixelCentreInCentimetres) {
    TemporaryFolder folder;
    const std::string body = folder.File("box.obj");
    const std::string caseFile = folder.File("case.txt");
    std::ofstream(body, std::ios::binary) << kBoxObj;
    std::ofstream(caseFile, std::ios::binary)
        << "<root>\r\n<body>\r\n   <height>1.8000</height>\r\n</body>\r\n</root>\r\n";

    const CommandResult hit =
        SurfacePoint({"--surface-point", caseFile, "--view", "front", "--size", "200x100",
                      "--pixel", "100,50", "--body", body});
    ASSERT_EQ(hit.status, 0) << hit.err;
    double x = 0, y = 0, z = 0;
    std::istringstream(hit.out) >> x >> y >> z;
    const double slope = std::tan(std::numbers::pi / 6) * 0.01 * (2.5 - 0.27) * 100;
    EXPECT_NEAR(x, slope, 1e-4); // 0.005 of the half-width, twice as wide
    EXPECT_NEAR(y, 100 - slope, 1e-4);
    EXPECT_EQ(hit.out.substr(hit.out.size() - 9), " 27.0000\n");

    const CommandResult miss = SurfacePoint(
        {"--surface-point", caseFile, "--size", "200x100", "--pixel", "0,0", "--body", body});
    EXPECT_EQ(miss.status, 1);
    EXPECT_EQ(miss.out, "");
    EXPECT_EQ(miss.err, "No body surface under pixel 0,0.\n");

    // From the top the eye looks down on the box's top at 1.8 m.
    const CommandResult top = SurfacePoint({"--surface-point", caseFile, "--view", "top", "--size",
                                            "200x100", "--pixel", "100,50", "--body", body});
    ASSERT_EQ(top.status, 0) << top.err;
    std::istringstream(top.out) >> x >> y >> z;
    EXPECT_NEAR(y, 180, 1e-4);
}

TEST(SurfacePointCommandTest, RefusesAMissingOrOutsidePixel) {
    EXPECT_EQ(SurfacePoint({"--surface-point", "case.txt"}).status, 2);
    EXPECT_EQ(
        SurfacePoint({"--surface-point", "case.txt", "--size", "200x100", "--pixel", "200,10"})
            .status,
        2);
    EXPECT_EQ(SurfacePoint({"--surface-point", "case.txt", "--pixel", "-1,4"}).status, 2);
    EXPECT_EQ(SurfacePoint({"--surface-point", "case.txt", "--pixel", "4;4"}).status, 2);
    const CommandResult missing =
        SurfacePoint({"--surface-point", "/nonexistent/case.txt", "--pixel", "1,1"});
    EXPECT_EQ(missing.status, 1);
}

// The command finds the point on the body as the view draws it: posed. The box, turned a
// quarter about the vertical, shows its narrower side to the front view.
TEST(SurfacePointCommandTest, FindsThePointOnTheBodyAsPosed) {
    TemporaryFolder folder;
    const std::string body = folder.File("box.obj");
    const std::string caseFile = folder.File("case.txt");
    std::ofstream(body, std::ios::binary) << kBoxObj;
    Case theCase;
    LoadBoxBody(theCase);
    ASSERT_TRUE(theCase.body.SetHeight(1.8));
    Posture turned;
    turned.SetBodyTurn({90, 0, 0});
    theCase.body.SetPosture(turned);
    ASSERT_TRUE(DataFile::Write(theCase, caseFile).ok());

    const CommandResult hit =
        SurfacePoint({"--surface-point", caseFile, "--view", "front", "--size", "200x100",
                      "--pixel", "100,50", "--body", body});
    ASSERT_EQ(hit.status, 0) << hit.err;
    double x = 0, y = 0, z = 0;
    std::istringstream(hit.out) >> x >> y >> z;

    Case read;
    LoadBoxBody(read);
    ASSERT_TRUE(DataFile::ReadText(read, FileText(caseFile)).ok());
    ASSERT_FALSE(read.body.HasInitialPose());
    ViewState view;
    view.ViewFront();
    const std::optional<SurfaceHit> posed =
        BodySurfaceAt(PosedCase(read), view.GetCamera(), 200, 100, 100.5, 50.5);
    ASSERT_TRUE(posed.has_value());
    EXPECT_NEAR(x, posed->point.x * 100, 1e-4);
    EXPECT_NEAR(y, posed->point.y * 100, 1e-4);
    EXPECT_NEAR(z, posed->point.z * 100, 1e-4);
    EXPECT_GT(std::abs(z - 27.0), 1.0) << "the front face of the box at rest";
}
