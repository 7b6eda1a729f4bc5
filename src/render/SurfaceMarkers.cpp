#include "render/SurfaceMarkers.h"

#include <GL/gl.h>

#include <cstddef>

namespace {

constexpr float kRimSize = 9.0f; // pixels
constexpr float kDotSize = 5.0f;

void DrawPoints(const std::vector<Vec3>& markers, float size, bool rim) {
    glPointSize(size);
    glBegin(GL_POINTS);
    for (size_t index = 0; index < markers.size(); ++index) {
        if (rim) {
            glColor3f(0, 0, 0);
        } else {
            glColor3fv(index == 0 ? kInMarkerColor : kOutMarkerColor);
        }
        glVertex3d(markers[index].x, markers[index].y, markers[index].z);
    }
    glEnd();
}

} // namespace

void DrawSurfaceMarkers(const std::vector<Vec3>& markers) {
    if (markers.empty()) {
        return;
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    DrawPoints(markers, kRimSize, true);
    DrawPoints(markers, kDotSize, false);
    glPointSize(1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}
