// The scene's rendering entry points: they forward to the attached renderer, if any.
#include "scene/SceneRenderer.h"
#include "scene/Universe.h"

void Universe::Resize(int width, int height) {
    if (renderer) {
        renderer->Resize(width, height);
    }
}

int Universe::RenderFrame() {
    if (renderer) {
        renderer->RenderFrame(*this);
    }
    return 1;
}

int Universe::DestroyContext() {
    if (renderer) {
        renderer->DestroyContext();
    }
    return 1;
}

void Universe::Pick(int x, int y) {
    if (renderer) {
        renderer->Pick(*this, x, y);
    }
}
