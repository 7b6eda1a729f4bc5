#include "render/StandardViews.h"

#include "case/Case.h"
#include "render/FramebufferCapture.h"
#include "render/HeadlessContext.h"
#include "render/MeshDrawCache.h"
#include "render/Renderer.h"

#include <GL/gl.h>

namespace {

struct ViewChoice {
    const char* name;
    const char* caption;
    void (Case::*apply)();
};

constexpr ViewChoice kViews[] = {
    {"front", "Front view: the body's right side is on the left of the picture", &Case::ViewFront},
    {"profile", "Profile view: the front view turned 45 degrees about the vertical axis",
     &Case::ViewProfile},
    {"top", "Top view: looking straight down on the body", &Case::ViewTop},
};

// Puts back what drawing in another context changes: the scene's camera and the mesh cache the
// window's renderer installed.
class SceneStateKeeper {
public:
    explicit SceneStateKeeper(Case& s)
        : scene(s), camera(s.GetCamera()), cache(MeshDrawCache::Installed()) {}
    ~SceneStateKeeper() {
        scene.GetCamera() = camera;
        MeshDrawCache::Install(cache);
    }
    SceneStateKeeper(const SceneStateKeeper&) = delete;
    SceneStateKeeper& operator=(const SceneStateKeeper&) = delete;

private:
    Case& scene;
    Camera camera;
    MeshDrawCache* cache;
};

} // namespace

std::optional<std::vector<StandardView>> RenderStandardViews(Case& scene, int width, int height,
                                                             std::string& error) {
    SceneStateKeeper keeper(scene);
    const auto context = HeadlessContext::Create(width, height, error);
    if (!context) {
        return std::nullopt;
    }
    std::vector<StandardView> views;
    {
        Renderer renderer;
        if (!renderer.InitializeContext(scene)) {
            error = "the headless drawing context cannot be set up";
            renderer.DestroyContext();
            return std::nullopt;
        }
        renderer.Resize(width, height);
        for (const ViewChoice& choice : kViews) {
            (scene.*choice.apply)();
            renderer.RenderFrame(scene);
            glFinish();
            views.push_back({choice.name, choice.caption, CaptureFramebuffer(width, height)});
        }
        renderer.DestroyContext(); // while its context is still current
    }
    return views;
}
