#pragma once

#include "render/BitmapFont.h"
#include "render/FrameRenderer.h"
#include "render/MeshDrawCache.h"
#include "render/DrawnConeCache.h"
#include "render/ScenePass.h"
#include "render/ShapeListCache.h"

struct FrameContext;

// Draws the case with the OpenGL fixed-function pipeline into the current context: the frame
// (camera, three lights, trajectories, elements, body, axes and grids) and the selection pass of
// picking. It owns the font and the display-list caches of its context and presents nothing: the
// window (or the headless context) shows the frame.
class Renderer : public FrameRenderer {
public:
    bool InitializeContext() override;
    void Resize(int width, int height) override;
    void RenderFrame(const Case& theCase, const ViewState& view) override;
    void Pick(const Case& theCase, ViewState& view, int x, int y) override;
    void DestroyContext() override;

    static constexpr float kClearGrey = 0.85f;

    // The font, with the labels of the last frame and where they were placed.
    const BitmapFont& Font() const { return font; }
    // The drawn uncertainty cones, which a caller that has them already may hand in.
    DrawnConeCache& DrawnCones() { return coneCache; }

private:
    FrameContext Context(const Case& theCase, const ViewState& view);
    void DrawBody(const FrameContext& frame);
    void DrawDecorations(const FrameContext& frame);

    BitmapFont font;
    MeshDrawCache meshCache;
    ShapeListCache shapeCache;
    DrawnConeCache coneCache;
    ScenePass scenePass;
};
