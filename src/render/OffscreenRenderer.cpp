#include "render/OffscreenRenderer.h"

#include "render/FramebufferCapture.h"

#include <GL/gl.h>

std::unique_ptr<OffscreenRenderer>
OffscreenRenderer::Create(int width, int height, std::shared_ptr<const ArrowModels> arrows,
                          std::string& error) {
    std::unique_ptr<OffscreenRenderer> offscreen(new OffscreenRenderer());
    offscreen->renderer.SetArrowModels(std::move(arrows));
    offscreen->context = HeadlessContext::Create(width, height, error);
    if (!offscreen->context) {
        return nullptr;
    }
    if (!offscreen->renderer.InitializeContext()) {
        error = "the headless drawing context cannot be set up";
        return nullptr; // the destructor frees what InitializeContext made
    }
    offscreen->renderer.Resize(width, height);
    return offscreen;
}

OffscreenRenderer::~OffscreenRenderer() {
    if (context && context->MakeCurrent()) {
        renderer.DestroyContext(); // while its context is still current
    }
}

CapturedImage OffscreenRenderer::Draw(const PosedCase& posed, const ViewState& view) {
    context->MakeCurrent();
    renderer.RenderFrame(posed, view);
    glFinish();
    return CaptureFramebuffer(Width(), Height());
}
