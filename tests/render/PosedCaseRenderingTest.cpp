#include "support/RenderTestSupport.h"

#include "view/SurfacePicking.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The default body kneeling, seen from the front without axes or texts.
class PosedCaseRendering : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Ready()) << h.Error();
        ASSERT_TRUE(theCase.body.Load(RUVO_SOURCE_DIR "/data/default/man1.obj"));
        theCase.body.SetPosture(*Posture::Preset("kneeling"));
        view.Switches().axes = false;
        view.Switches().text = false;
    }

    Rgb PixelAt(const Vec3& point) const {
        const auto at = h.Project(point.x, point.y, point.z);
        return h.Pixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
    }

    static double Distance(const Vec3& a, const Vec3& b) {
        return std::sqrt(Dot(Minus(a, b), Minus(a, b)));
    }

    RenderHarness h;
    Case& theCase = h.GetCase();
    ViewState& view = h.GetView();
};

bool IsMarker(const Rgb& c) {
    return c.g > 150 && c.r < 60 && c.b < 120;
}

bool IsRed(const Rgb& c) {
    return c.r > 150 && c.g < 40 && c.b < 40;
}

const Landmark& Named(const LandmarkTable& table, const std::string& name) {
    for (const Landmark& landmark : table.GetLandmarks()) {
        if (landmark.name == name) {
            return landmark;
        }
    }
    ADD_FAILURE() << "no landmark " << name;
    return table.GetLandmarks().front();
}

} // namespace

// The markers of a kneeling body sat where it would stand: the umbilicus hung in the air before
// the chest. They are drawn where the posed skin carries them, on the skin the frame shows.
TEST_F(PosedCaseRendering, LandmarksAreDrawnOnThePosedSkin) {
    view.ToggleLandmarks();
    h.Render();
    const PosedCase& posed = h.Posed();
    ASSERT_TRUE(posed.IsPosed());
    for (const char* name : {"umbilicus", "left nipple", "right nipple"}) {
        SCOPED_TRACE(name);
        const Vec3 atRest = Named(posed.AnatomicalLandmarks(), name).position;
        const Vec3 carried = Named(posed.PosedLandmarks(), name).position;
        ASSERT_GT(Distance(atRest, carried), 0.2) << "kneeling lowers the trunk";
        EXPECT_TRUE(IsMarker(PixelAt(carried)));
        EXPECT_FALSE(IsMarker(PixelAt(atRest)));
        // The pixel shows the posed skin right at the landmark.
        const auto at = h.Project(carried.x, carried.y, carried.z);
        const auto hit =
            BodySurfaceAt(posed, view.GetCamera(), RenderHarness::kWidth, RenderHarness::kHeight,
                          at[0], RenderHarness::kHeight - at[1]);
        ASSERT_TRUE(hit);
        EXPECT_LT(Distance(hit->point, carried), 0.02);
    }
}

// A trajectory on the trunk of a kneeling body: its arrow is drawn, and picked, along its posed
// transform, not where the standing body would carry it.
TEST_F(PosedCaseRendering, AnArrowLiesOnItsPosedTransform) {
    // Across the front of the belly, toward the body's left, clear of the skin.
    Trajectory& shot = h.AddTrajectory(true, 0.25, 1.15, 0.45, 1, 0, 0);
    shot.out = {0.55, 1.15, 0.45};
    shot.inPart = shot.outPart = "trunk";
    h.Render();
    const PosedTrajectory& posed = *h.Posed().TrajectoryNumbered(1);
    Case standing = theCase;
    standing.body.ResetPose();
    const Matrix4 unposed = PosedCase(standing).TrajectoryNumbered(1)->ArrowTransform();
    ASSERT_GT(Distance(posed.in, shot.in), 0.2);

    // The full test arrow runs 0.5 m along -Z of its own frame.
    for (double along : {-0.1, -0.25, -0.4}) {
        SCOPED_TRACE(along);
        EXPECT_TRUE(IsRed(PixelAt(posed.ArrowTransform().TransformPoint({0, 0, along}))));
        EXPECT_FALSE(IsRed(PixelAt(unposed.TransformPoint({0, 0, along}))));
    }
    const Vec3 middle = posed.ArrowTransform().TransformPoint({0, 0, -0.25});
    const Vec3 restMiddle = unposed.TransformPoint({0, 0, -0.25});
    auto pickAt = [this](const Vec3& p) {
        const auto at = h.Project(p.x, p.y, p.z);
        h.PickAt(at[0], at[1]);
        return view.GetSelectedTrajectoryNumber();
    };
    EXPECT_EQ(pickAt(restMiddle), 0);
    EXPECT_EQ(pickAt(middle), 1);
}
