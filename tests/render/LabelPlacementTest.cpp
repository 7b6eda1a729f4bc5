#include "support/BaselineImage.h"
#include "support/RenderTestSupport.h"

#include "case/Case.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "view/ViewState.h"

#include <gtest/gtest.h>

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
