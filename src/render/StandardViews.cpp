#include "render/StandardViews.h"

#include "render/OffscreenRenderer.h"
#include "view/ViewState.h"

namespace {

struct ViewChoice {
    const char* name;
    const char* caption;
    void (ViewState::*apply)();
};

constexpr ViewChoice kViews[] = {
    {"front", "Front view: the body's right side is on the left of the picture",
     &ViewState::ViewFront},
    {"profile",
     "Profile view: the front view turned 45 degrees about the vertical axis, seen from the "
     "body's front right",
     &ViewState::ViewProfile},
    {"top", "Top view: looking straight down on the body", &ViewState::ViewTop},
};

} // namespace

std::vector<StandardView> RenderStandardViews(const PosedCase& posed, const ViewState& view,
                                              OffscreenRenderer& offscreen) {
    std::vector<StandardView> views;
    ViewState shown = view;           // the caller's camera stays as it was
    shown.Switches().outlines = true; // printed, a white arrow on grey hardly shows
    // The body in its room: the walls, doors and ceilings before the body are cut away.
    shown.Switches().sceneCutAway = true;
    for (const ViewChoice& choice : kViews) {
        (shown.*choice.apply)();
        views.push_back({choice.name, choice.caption, offscreen.Draw(posed, shown)});
    }
    return views;
}

std::optional<std::vector<StandardView>>
RenderStandardViews(const PosedCase& posed, const ViewState& view,
                    std::shared_ptr<const ArrowModels> arrows, int width, int height,
                    std::string& error) {
    const auto offscreen = OffscreenRenderer::Create(width, height, std::move(arrows), error);
    if (!offscreen) {
        return std::nullopt;
    }
    return RenderStandardViews(posed, view, *offscreen);
}
