#include "ui/WindowRenderer.h"

#include <utility>

WindowRenderer::WindowRenderer(std::unique_ptr<SceneRenderer> drawing,
                               std::function<void()> requestPaint)
    : drawing(std::move(drawing)), requestPaint(std::move(requestPaint)) {}

bool WindowRenderer::InitializeContext(Case& scene) {
    contextFailed = !drawing->InitializeContext(scene);
    return !contextFailed;
}

void WindowRenderer::Resize(int width, int height) {
    drawing->Resize(width, height);
}

void WindowRenderer::RenderFrame(Case& scene) {
    if (painting) {
        drawing->RenderFrame(scene);
        return;
    }
    ++framesRequested;
    requestPaint();
}

void WindowRenderer::Paint(Case& scene) {
    painting = true;
    drawing->RenderFrame(scene);
    painting = false;
    ++framesPainted;
}

void WindowRenderer::Pick(Case& scene, int x, int y) {
    drawing->Pick(scene, x, y);
}

void WindowRenderer::DestroyContext() {
    drawing->DestroyContext();
}
