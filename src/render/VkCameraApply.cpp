#include "scene/VkCamera.h"

#include <GL/gl.h>

void VkCamera::Apply() const {
    glMultMatrixd(ViewMatrix().Data());
}
