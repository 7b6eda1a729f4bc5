#include "render/UncertaintyConePass.h"

#include "budget/UncertaintyCone.h"
#include "case/PosedCase.h"
#include "render/DrawnConeCache.h"
#include "render/FrameContext.h"
#include "view/ViewState.h"

#include <GL/gl.h>

namespace {

void DrawTrajectoryCone(const FrameContext& frame, const PosedTrajectory& posed) {
    const Trajectory& trajectory = *frame.posed.GetCase().TrajectoryNumbered(posed.number);
    const std::optional<UncertaintyConeShape> cone =
        frame.cones ? frame.cones->ConeOf(frame.posed, posed.number)
                    : DrawnUncertaintyConeOf(frame.posed, posed.number);
    if (!cone) {
        return; // IN and OUT lie within the balls' width: no direction to draw around
    }
    glPushMatrix();
    glMultMatrixd(posed.ArrowTransform().Data());
    glColor4f(static_cast<float>(trajectory.color.x), static_cast<float>(trajectory.color.y),
              static_cast<float>(trajectory.color.z), kUncertaintyConeAlpha);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3d(cone->apex.x, cone->apex.y, cone->apex.z);
    for (const Vec3& point : cone->rim) {
        glVertex3d(point.x, point.y, point.z);
    }
    glEnd();
    glPopMatrix();
}

} // namespace

void DrawUncertaintyCones(const FrameContext& frame) {
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    // The frame stays opaque: captured views and saved images read its alpha as coverage.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    for (const PosedTrajectory& posed : frame.posed.GetTrajectories()) {
        if (frame.view.Switches().ShowsTrajectory(posed.number)) {
            DrawTrajectoryCone(frame, posed);
        }
    }
    glPopAttrib();
}
