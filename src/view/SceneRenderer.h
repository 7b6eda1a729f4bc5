#pragma once

class Case;

// The drawing side of the scene's rendering entry points. The core has no OpenGL; the rendering
// library implements this interface and the scene forwards to it.
class SceneRenderer {
public:
    virtual ~SceneRenderer() = default;

    // Sets up the current OpenGL context after the scene has loaded its models: GL state, lights,
    // bitmap font lists. Returns false when the context cannot be used.
    virtual bool InitializeContext(Case& scene) = 0;
    virtual void Resize(int width, int height) = 0;
    // Draws one frame of the scene (or, in a window, asks for one at once).
    virtual void RenderFrame(Case& scene) = 0;
    // Runs the selection pass at window pixel (x, y), y downward, and stores the hit in the scene.
    virtual void Pick(Case& scene, int x, int y) = 0;
    virtual void DestroyContext() = 0;
};
