#pragma once

#include "export/CapturedImage.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"

#include <memory>
#include <string>

class PosedCase;
class ViewState;

// A renderer with a headless context of its own, for pictures drawn without a window: the
// report's views and close-ups share one, so that the context, the body's display lists and
// the rasteriser's compiled shaders are made once for all of them.
class OffscreenRenderer {
public:
    // Draws the trajectories with `arrows` (none: labels and handles only). Nothing (and why, in
    // `error`) when no headless context can be made or set up.
    static std::unique_ptr<OffscreenRenderer>
    Create(int width, int height, std::shared_ptr<const ArrowModels> arrows, std::string& error);
    ~OffscreenRenderer();
    OffscreenRenderer(const OffscreenRenderer&) = delete;
    OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

    int Width() const { return context->Width(); }
    int Height() const { return context->Height(); }
    // Draws the posed case as `view` shows it and captures the picture (32-bit, bottom row
    // first).
    CapturedImage Draw(const PosedCase& posed, const ViewState& view);
    Renderer& GetRenderer() { return renderer; }

private:
    OffscreenRenderer() = default;

    std::unique_ptr<HeadlessContext> context;
    Renderer renderer;
};
