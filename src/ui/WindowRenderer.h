#pragma once

#include "view/SceneRenderer.h"

#include <functional>
#include <memory>

// Puts the scene's drawing into a Qt OpenGL widget. Qt presents the widget's frames, so a frame
// asked for outside the widget's paint step (after a command or a drag) becomes a paint request,
// and the frame is drawn when Qt paints. Everything else goes straight to the drawing renderer.
class WindowRenderer : public SceneRenderer {
public:
    WindowRenderer(std::unique_ptr<SceneRenderer> drawing, std::function<void()> requestPaint);

    bool InitializeContext(Case& scene) override;
    void Resize(int width, int height) override;
    void RenderFrame(Case& scene) override;
    void Pick(Case& scene, int x, int y) override;
    void DestroyContext() override;

    // Draws the frame now; the widget calls it from its paint step.
    void Paint(Case& scene);
    // True once InitializeContext has been asked and the drawing renderer refused the context.
    bool ContextFailed() const { return contextFailed; }
    int FramesRequested() const { return framesRequested; }
    int FramesPainted() const { return framesPainted; }

private:
    std::unique_ptr<SceneRenderer> drawing;
    std::function<void()> requestPaint;
    bool contextFailed = false;
    bool painting = false;
    int framesRequested = 0;
    int framesPainted = 0;
};
