#include "render/UncertaintyConePass.h"

#include "scene/TrajectoryCourse.h"
#include "scene/Universe.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kConeLength = 2.0; // metres
constexpr int kConeSegments = 48;
constexpr float kConeAlpha = 0.25f;

// In the arrow's frame the direction of travel is -Z, so the cone opens along +Z.
void DrawCone(double halfAngleDegrees) {
    const double radius = kConeLength * std::tan(halfAngleDegrees * std::numbers::pi / 180.0);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3d(0, 0, 0);
    for (int i = 0; i <= kConeSegments; ++i) {
        const double angle = 2 * std::numbers::pi * i / kConeSegments;
        glVertex3d(radius * std::cos(angle), radius * std::sin(angle), kConeLength);
    }
    glEnd();
}

void DrawTrajectoryCone(const Path& path) {
    const TrajectoryCourse course = DescribeTrajectory(path);
    if (!course.uncertainty.coneHalfAngle) {
        return; // IN and OUT lie within the balls' width: no direction to draw around
    }
    glPushMatrix();
    glTranslated(path.GetX1() + path.GetDx(), path.GetY1() + path.GetDy(),
                 path.GetZ1() + path.GetDz());
    glRotated(path.GetDirectionDegrees(), 0, 1, 0);
    glRotated(path.GetDYaw(), 0, 1, 0);
    glRotated(path.GetElevationDegrees(), 1, 0, 0);
    glRotated(path.GetDPitch(), 1, 0, 0);
    glColor4f(static_cast<float>(path.GetRed()), static_cast<float>(path.GetGreen()),
              static_cast<float>(path.GetBlue()), kConeAlpha);
    DrawCone(*course.uncertainty.coneHalfAngle);
    glPopMatrix();
}

} // namespace

void DrawUncertaintyCones(const Universe& scene) {
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    // The frame stays opaque: captured views and saved images read its alpha as coverage.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    const Body& body = scene.GetBody();
    for (int i = 0; i < scene.GetTrajectoryCount(); ++i) {
        const Path& path = *scene.GetTrajectory(i);
        // Carried as its arrow is: by the arm pose when it moves with the arm.
        const Matrix4 pose = body.TrajectoryPoseTransform(
            path.GetWithArm(), {path.GetX1(), path.GetY1(), path.GetZ1()});
        glPushMatrix();
        glMultMatrixd(pose.Data());
        DrawTrajectoryCone(path);
        glPopMatrix();
    }
    glPopAttrib();
}
