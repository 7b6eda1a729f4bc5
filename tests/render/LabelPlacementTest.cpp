#include "support/BaselineImage.h"
#include "support/RenderTestSupport.h"

#include "case/Case.h"
#include "render/BitmapFont.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "view/ViewState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>

namespace {

struct ViewCase {
    const char* name;
    std::function<void(ViewState&)> set;
};

// The landmarks of the default body on its back (the back lies at z = 0, the front near 0.3 m)
// and on its front.
bool OnTheBack(const Landmark& landmark) {
    return landmark.position.z < 0.06;
}
bool OnTheFront(const Landmark& landmark) {
    return landmark.position.z > 0.18;
}

} // namespace

// With the landmarks shown, their 34 names were written over one another, and those on the back
// through the body ("right scapula" over the chest). In every view no two labels (landmarks,
// trajectories, elements) may overlap, and only the landmarks that face the viewer are named.
TEST(LabelPlacement, NoTwoLabelsOverlapAndOnlyLandmarksFacingTheViewerAreNamed) {
    std::string error;
    const auto context = HeadlessContext::Create(800, 1000, error);
    ASSERT_NE(context, nullptr) << error;
    Case theCase;
    std::shared_ptr<const ArrowModels> arrows;
    ASSERT_TRUE(LoadDefaultModels(theCase, arrows).ok()); // the tests run in the project folder
    baseline::AddEvidence(theCase);
    const PosedCase posed(theCase);
    Renderer renderer;
    ASSERT_TRUE(renderer.InitializeContext());
    renderer.SetArrowModels(arrows);
    renderer.Resize(800, 1000);
    const LandmarkTable& landmarks = posed.PosedLandmarks();
    ASSERT_GT(landmarks.GetLandmarks().size(), 30u);

    const ViewCase views[] = {{"front", [](ViewState& v) { v.ViewFront(); }},
                              {"back", [](ViewState& v) { v.ViewBack(); }},
                              {"profile", [](ViewState& v) { v.ViewProfile(); }}};
    for (const ViewCase& viewCase : views) {
        SCOPED_TRACE(viewCase.name);
        ViewState view;
        viewCase.set(view);
        view.Switches().landmarks = true;
        renderer.RenderFrame(posed, view);
        const auto& labels = renderer.Font().PlacedLabels();
        for (std::size_t a = 0; a < labels.size(); ++a) {
            for (std::size_t b = a + 1; b < labels.size(); ++b) {
                EXPECT_FALSE(labels[a].box.Overlaps(labels[b].box))
                    << "\"" << labels[a].text << "\" and \"" << labels[b].text << "\"";
            }
        }
        std::set<std::string> named;
        for (const auto& label : labels) {
            named.insert(label.text);
        }
        EXPECT_TRUE(named.count("Entry A\r\nright chest") && named.count("Fragment"));
        int landmarkNames = 0;
        for (const Landmark& landmark : landmarks.GetLandmarks()) {
            const bool shown = named.count(landmark.name) > 0;
            landmarkNames += shown ? 1 : 0;
            if (viewCase.name == std::string("front")) {
                EXPECT_FALSE(shown && OnTheBack(landmark)) << landmark.name;
            }
            if (viewCase.name == std::string("back")) {
                EXPECT_FALSE(shown && OnTheFront(landmark)) << landmark.name;
            }
        }
        // Not empty: the landmarks facing the viewer are named.
        EXPECT_GE(landmarkNames, 8);
        if (viewCase.name == std::string("front")) {
            EXPECT_TRUE(named.count("umbilicus") && named.count("left nipple"));
        }
        if (viewCase.name == std::string("back")) {
            EXPECT_TRUE(named.count("right scapula") && named.count("lumbar spine"));
        }
    }
    renderer.DestroyContext();
}

namespace {

bool IsMagenta(const Rgb& pixel) {
    return pixel.r >= 250 && pixel.g <= 5 && pixel.b >= 250;
}

// Magenta pixels in the box [x0, x1) x [y0, y1) of the frame (y from the bottom row).
int MagentaIn(const RenderHarness& h, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            count += IsMagenta(h.Pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

// A trajectory behind the body, seen from the front: its label's point lies behind the body,
// which hid the label whole. The label is drawn in front of the body beside its point, joined to
// it by a leader line; a trajectory in front of the body keeps its label at its point.
TEST(HiddenLabel, ALabelWhosePointTheBodyHidesIsDrawnOverItWithALeaderLine) {
    RenderHarness h;
    ASSERT_TRUE(h.Ready()) << h.Error();
    // The label stands 0.71 m behind IN along the arrow: here at z = -0.29, behind the box body
    // (z from 0 to 0.22), and the whole arrow is behind it too.
    Trajectory& hidden = h.AddTrajectory(true, 0.0, 1.2, -1.0, 1, 0, 1);
    hidden.label = "BEHIND";
    h.Render();
    const std::array<double, 2> point = h.Project(0.0, 1.2, -1.0 + 0.71);
    const int x = static_cast<int>(std::floor(point[0]));
    const int y = static_cast<int>(std::floor(point[1]));
    // The body covers the point: the label's colour is nowhere at the point.
    EXPECT_FALSE(IsMagenta(h.Pixel(x - 3, y - 3)));
    // The text, lifted up and right of its point and drawn over the body.
    const int textLeft = x + BitmapFont::kLiftX, textBottom = y + BitmapFont::kLiftY - 2;
    EXPECT_GT(MagentaIn(h, textLeft, textBottom, textLeft + 60, textBottom + 13), 40);
    // The leader line from the point to the text.
    EXPECT_GT(MagentaIn(h, x + 2, y + 1, textLeft - 1, textBottom), 3);

    // Switched off, nothing of it is drawn: the magenta was the label's.
    h.GetView().ToggleText();
    h.Render();
    EXPECT_EQ(MagentaIn(h, x, y, textLeft + 60, textBottom + 13), 0);
    h.GetView().ToggleText();

    // In front of the body the label stays at its point, without a line.
    hidden.in = {0.0, 1.2, 0.5};
    hidden.out = {0.0, 1.2, 0.2};
    h.Render();
    const std::array<double, 2> seen = h.Project(0.0, 1.2, 0.5 + 0.71);
    const int sx = static_cast<int>(std::floor(seen[0]));
    const int sy = static_cast<int>(std::floor(seen[1]));
    EXPECT_GT(MagentaIn(h, sx, sy - 2, sx + 60, sy + 11), 40);
    EXPECT_EQ(MagentaIn(h, sx + BitmapFont::kLiftX, sy + 13, sx + 74, sy + 24), 0);
}
