#include "render/FrameProjection.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

constexpr double kFieldOfView = 60.0;
constexpr double kNearPlane = 0.01;
constexpr double kFarPlane = 128.0;

} // namespace

void ApplyFramePerspective(int width, int height) {
    gluPerspective(kFieldOfView, static_cast<double>(width) / height, kNearPlane, kFarPlane);
}
