#pragma once

#include "render/BitmapFont.h"
#include "render/MeshDrawCache.h"
#include "render/ShapeListCache.h"
#include "view/SceneRenderer.h"

// Draws the scene with the OpenGL fixed-function pipeline into the current context: the frame
// (camera, three lights, trajectories, elements, body, axes and grids) and the selection pass of
// picking. It presents nothing: the window (or the headless context) shows the frame.
class Renderer : public SceneRenderer {
public:
    bool InitializeContext(Case& scene) override;
    void Resize(int width, int height) override;
    void RenderFrame(Case& scene) override;
    void Pick(Case& scene, int x, int y) override;
    void DestroyContext() override;

    static constexpr float kClearGrey = 0.85f;

private:
    void DrawBody(Case& scene);
    void DrawDecorations(Case& scene);

    BitmapFont font;
    MeshDrawCache meshCache;
    ShapeListCache shapeCache;
};
