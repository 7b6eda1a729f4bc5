// The scene's rendering entry points: they forward to the attached renderer, if any.
#include "case/Case.h"
#include "view/SceneRenderer.h"

void Case::Resize(int width, int height) {
    if (renderer) {
        renderer->Resize(width, height);
    }
}

int Case::RenderFrame() {
    if (renderer) {
        renderer->RenderFrame(*this);
    }
    return 1;
}

int Case::DestroyContext() {
    if (renderer) {
        renderer->DestroyContext();
    }
    return 1;
}

void Case::Pick(int x, int y) {
    if (renderer) {
        renderer->Pick(*this, x, y);
    }
}
