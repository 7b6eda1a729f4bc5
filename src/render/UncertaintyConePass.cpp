#include "render/UncertaintyConePass.h"

#include "budget/UncertaintyCone.h"
#include "case/Case.h"
#include "case/Trajectory.h"
#include "render/DrawnConeCache.h"
#include "render/FrameContext.h"
#include "view/ViewState.h"

#include <GL/gl.h>

namespace {

void DrawTrajectoryCone(const FrameContext& frame, int number) {
    const Case& theCase = frame.theCase;
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    const std::optional<UncertaintyConeShape> cone = frame.cones
                                                         ? frame.cones->ConeOf(theCase, number)
                                                         : DrawnUncertaintyConeOf(theCase, number);
    if (!cone) {
        return; // IN and OUT lie within the balls' width: no direction to draw around
    }
    glPushMatrix();
    glMultMatrixd(UncertaintyConePlacement(theCase, number).Data());
    glColor4f(static_cast<float>(trajectory.GetRed()), static_cast<float>(trajectory.GetGreen()),
              static_cast<float>(trajectory.GetBlue()), kUncertaintyConeAlpha);
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
    const Case& theCase = frame.theCase;
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    // The frame stays opaque: captured views and saved images read its alpha as coverage.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    for (int number = 1; number <= theCase.GetTrajectoryCount(); ++number) {
        if (!frame.view.Switches().ShowsTrajectory(number)) {
            continue;
        }
        DrawTrajectoryCone(frame, number);
    }
    glPopAttrib();
}
