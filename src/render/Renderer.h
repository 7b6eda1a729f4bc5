#pragma once

#include "mesh/ArrowModels.h"
#include "render/BitmapFont.h"
#include "render/CtBonePass.h"
#include "render/DrawnConeCache.h"
#include "render/FrameRenderer.h"
#include "render/MeshDrawCache.h"
#include "render/ScenePass.h"
#include "render/ShapeListCache.h"

#include <memory>

struct FrameContext;

// Draws the posed case with the OpenGL fixed-function pipeline into the current context: the
// frame (camera, three lights, trajectories, elements, body, axes and grids) and the selection
// pass of picking. It owns the font and the display-list caches of its context, holds the arrows
// it draws the trajectories with, and presents nothing: the window (or the headless context)
// shows the frame.
class Renderer : public FrameRenderer {
public:
    bool InitializeContext() override;
    void Resize(int width, int height) override;
    void RenderFrame(const PosedCase& posed, const ViewState& view) override;
    void Pick(const PosedCase& posed, ViewState& view, int x, int y) override;
    std::optional<int> PickMetal(const PosedCase& posed, const ViewState& view, int x,
                                 int y) override;
    void DestroyContext() override;

    // The arrows the trajectories are drawn with (loaded once, shared with whoever else draws
    // them); until they are handed in, a trajectory shows only its label and handles.
    void SetArrowModels(std::shared_ptr<const ArrowModels> models) { arrows = std::move(models); }
    const std::shared_ptr<const ArrowModels>& GetArrowModels() const { return arrows; }

    static constexpr float kClearGrey = 0.85f;

    // The font, with the labels of the last frame and where they were placed.
    const BitmapFont& Font() const { return font; }
    // The drawn uncertainty cones, which a caller that has them already may hand in.
    DrawnConeCache& DrawnCones() { return coneCache; }

private:
    FrameContext Context(const PosedCase& posed, const ViewState& view);
    void DrawBody(const FrameContext& frame);
    void DrawDecorations(const FrameContext& frame);

    BitmapFont font;
    MeshDrawCache meshCache;
    ShapeListCache shapeCache;
    DrawnConeCache coneCache;
    ScenePass scenePass;
    CtBonePass bonePass;
    std::shared_ptr<const ArrowModels> arrows;
};
