#include "render/Decorations.h"

#include <GL/gl.h>

#include <cstdlib>

namespace {

constexpr double kAxisLength = 3.0;
constexpr int kGridLines = 30; // on each side of 0, 0.1 m apart

void GridColor(int i) {
    const int magnitude = std::abs(i);
    const float grey = magnitude == 10 || magnitude == 20 ? 0.9f : 0.7f;
    glColor3f(grey, grey, grey);
}

} // namespace

void DrawAxes() {
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex3d(0, 0, 0);
    glVertex3d(kAxisLength, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3d(0, 0, 0);
    glVertex3d(0, kAxisLength, 0);
    glColor3f(0, 0, 1);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 0, kAxisLength);
    glColor3f(1, 1, 1);
    glVertex3d(0, 0, 0);
    glVertex3d(-kAxisLength, 0, 0);
    glVertex3d(0, 0, 0);
    glVertex3d(0, -kAxisLength, 0);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 0, -kAxisLength);
    glEnd();
    glPopMatrix();
    glEnable(GL_LIGHTING);
}

void DrawGrid() {
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glBegin(GL_LINES);
    for (int i = -kGridLines; i <= kGridLines; ++i) {
        GridColor(i);
        if (i != 0) {
            glVertex3d(-3.0, i / 10.0, 0.0);
            glVertex3d(3.0, i / 10.0, 0.0);
        }
    }
    for (int i = -kGridLines; i <= kGridLines; ++i) {
        GridColor(i);
        if (i != 0) {
            glVertex3d(i / 10.0, -3.0, 0.0);
            glVertex3d(i / 10.0, 3.0, 0.0);
        }
    }
    glEnd();
    glPopMatrix();
    glEnable(GL_LIGHTING);
}
