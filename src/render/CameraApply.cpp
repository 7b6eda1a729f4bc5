#include "view/Camera.h"

#include <GL/gl.h>

void Camera::Apply() const {
    glMultMatrixd(ViewMatrix().Data());
}
