#pragma once

#include "render/BitmapFont.h"
#include "render/MeshDrawCache.h"
#include "render/ShapeListCache.h"
#include "scene/SceneRenderer.h"

// Draws the scene with the OpenGL fixed-function pipeline into the current context: the frame
// (camera, three lights, trajectories, elements, body, axes and grids) and the selection pass of
// picking. It presents nothing: the window (or the headless context) shows the frame.
class GlSceneRenderer : public SceneRenderer {
public:
    bool InitializeContext(Universe& scene) override;
    void Resize(int width, int height) override;
    void RenderFrame(Universe& scene) override;
    void Pick(Universe& scene, int x, int y) override;
    void DestroyContext() override;

    static constexpr float kClearGrey = 0.85f;

private:
    void DrawBody(Universe& scene);
    void DrawDecorations(Universe& scene);

    BitmapFont font;
    MeshDrawCache meshCache;
    ShapeListCache shapeCache;
};
