#include "render/StandardViews.h"

#include "render/FramebufferCapture.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "view/ViewState.h"

#include <GL/gl.h>

namespace {

struct ViewChoice {
    const char* name;
    const char* caption;
    void (ViewState::*apply)();
};

constexpr ViewChoice kViews[] = {
    {"front", "Front view: the body's right side is on the left of the picture",
     &ViewState::ViewFront},
    {"profile", "Profile view: the front view turned 45 degrees about the vertical axis",
     &ViewState::ViewProfile},
    {"top", "Top view: looking straight down on the body", &ViewState::ViewTop},
};

} // namespace

std::optional<std::vector<StandardView>> RenderStandardViews(const Case& theCase,
                                                             const ViewState& view, int width,
                                                             int height, std::string& error) {
    const auto context = HeadlessContext::Create(width, height, error);
    if (!context) {
        return std::nullopt;
    }
    std::vector<StandardView> views;
    Renderer renderer;
    if (!renderer.InitializeContext()) {
        error = "the headless drawing context cannot be set up";
        renderer.DestroyContext();
        return std::nullopt;
    }
    renderer.Resize(width, height);
    ViewState shown = view; // the caller's camera stays as it was
    shown.Switches().outlines = true; // printed, a white arrow on grey hardly shows
    for (const ViewChoice& choice : kViews) {
        (shown.*choice.apply)();
        renderer.RenderFrame(theCase, shown);
        glFinish();
        views.push_back({choice.name, choice.caption, CaptureFramebuffer(width, height)});
    }
    renderer.DestroyContext(); // while its context is still current
    return views;
}
