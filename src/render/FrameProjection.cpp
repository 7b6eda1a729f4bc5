#include "render/FrameProjection.h"

#include "view/Camera.h"

#include <GL/gl.h>

void ApplyFramePerspective(int width, int height) {
    glMultMatrixd(Camera::ProjectionMatrix(width, height).Data());
}

void ApplyCameraView(const Camera& camera) {
    glMultMatrixd(camera.ViewMatrix().Data());
}
