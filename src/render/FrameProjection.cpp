#include "render/FrameProjection.h"

#include "scene/VkCamera.h"

#include <GL/gl.h>

void ApplyFramePerspective(int width, int height) {
    glMultMatrixd(VkCamera::ProjectionMatrix(width, height).Data());
}
