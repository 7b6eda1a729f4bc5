#include "render/Handles.h"

#include "case/PosedCase.h"
#include "render/FrameContext.h"
#include "render/Primitives.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <optional>

namespace {

constexpr double kRingRadius = 0.5;
constexpr int kRingSegments = 32;

void HandleColor(Handle handle, Handle highlighted, float r, float g, float b) {
    if (handle == highlighted) {
        glColor3f(1.0f, 1.0f, 0.0f);
    } else {
        glColor3f(r, g, b);
    }
}

void Segment(double x0, double y0, double z0, double x1, double y1, double z1) {
    glVertex3d(x0, y0, z0);
    glVertex3d(x1, y1, z1);
}

void Axis(RenderPass pass, Handle handle, Handle highlighted, float r, float g, float b) {
    LoadPickName(pass, pick_names::Handle(static_cast<int>(handle)));
    HandleColor(handle, highlighted, r, g, b);
    glBegin(GL_LINES);
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(handle == Handle::X ? 1.0 : 0.0, handle == Handle::Y ? 1.0 : 0.0,
               handle == Handle::Z ? 1.0 : 0.0);
    glEnd();
}

// The turn about +Y of a trajectory's arrow in the frame its handles are drawn in (the anchor's):
// that of the posed track, or, for an older file's trajectory carried whole with the anchor, that
// of the measured track; with the yaw adjustment.
double ArrowHeading(const Trajectory& trajectory, const PosedTrajectory& posed) {
    const double yaw = posed.olderFilePose ? ArrowYaw(trajectory.in, trajectory.out)
                                           : ArrowYaw(posed.in, posed.out);
    return yaw + trajectory.yawAdjustment;
}

// The heading the rings turn with: the selected trajectory's, else the selected element's.
std::optional<double> SelectedHeading(const FrameContext& frame) {
    const Case& theCase = frame.posed.GetCase();
    if (const Trajectory* trajectory = frame.view.SelectedTrajectory(theCase)) {
        return ArrowHeading(
            *trajectory, *frame.posed.TrajectoryNumbered(frame.view.GetSelectedTrajectoryNumber()));
    }
    if (const Element* element = frame.view.SelectedElement(theCase)) {
        return element->yaw;
    }
    return std::nullopt;
}

void PitchRing(RenderPass pass, Handle highlighted, double heading) {
    LoadPickName(pass, pick_names::Handle(1));
    HandleColor(Handle::X, highlighted, 1.0f, 0.0f, 0.0f);
    glRotated(heading, 0, 1, 0);
    glRotated(90, 0, 0, 1);
    DrawRing(kRingRadius, kRingSegments);
    glRotated(-90, 0, 0, 1);
    if (highlighted == Handle::X) {
        glBegin(GL_LINES);
        Segment(0.02, 0, 0.5, -0.02, 0, 0.5);
        Segment(0, 0, 0.5, 0, -0.3, 0.5);
        Segment(0, -0.3, 0.5, 0.05, -0.2, 0.5);
        Segment(0, -0.3, 0.5, -0.05, -0.2, 0.5);
        Segment(0, 0, 0.5, 0, 0.3, 0.5);
        Segment(0, 0.3, 0.5, 0.05, 0.2, 0.5);
        Segment(0, 0.3, 0.5, -0.05, 0.2, 0.5);
        glEnd();
    }
    glRotated(-heading, 0, 1, 0);
}

void YawRing(RenderPass pass, Handle highlighted, double cameraYaw) {
    LoadPickName(pass, pick_names::Handle(2));
    HandleColor(Handle::Y, highlighted, 0.0f, 1.0f, 0.0f);
    DrawRing(kRingRadius, kRingSegments);
    // The mark always faces the camera.
    glRotated(-cameraYaw, 0, 1, 0);
    if (highlighted == Handle::Y) {
        glBegin(GL_LINES);
        Segment(0, 0.02, 0.5, 0, -0.02, 0.5);
        Segment(0, 0, 0.5, -0.3, 0, 0.5);
        Segment(-0.3, 0, 0.5, -0.2, 0.05, 0.5);
        Segment(-0.3, 0, 0.5, -0.2, -0.05, 0.5);
        Segment(0, 0, 0.5, 0.3, 0, 0.5);
        Segment(0.3, 0, 0.5, 0.2, 0.05, 0.5);
        Segment(0.3, 0, 0.5, 0.2, -0.05, 0.5);
        glEnd();
    }
    glRotated(cameraYaw, 0, 1, 0);
}

void RollRing(RenderPass pass, Handle highlighted) {
    LoadPickName(pass, pick_names::Handle(3));
    HandleColor(Handle::Z, highlighted, 0.0f, 0.0f, 1.0f);
    glRotated(90, 1, 0, 0);
    DrawRing(kRingRadius, kRingSegments);
    if (highlighted == Handle::Z) {
        glBegin(GL_LINES);
        Segment(-0.5, 0, -0.3, -0.5, 0, 0);
        Segment(-0.5, 0, 0, -0.5, 0, 0.3);
        glEnd();
    }
    glRotated(-90, 1, 0, 0);
}

// Drawn under the last handle name, so a hit on it counts as that handle.
void CentreCross() {
    glColor3f(1.0f, 0.5f, 0.25f);
    glBegin(GL_LINES);
    Segment(-0.5, 0, 0, 0.5, 0, 0);
    Segment(0, -0.5, 0, 0, 0.5, 0);
    Segment(0, 0, -0.5, 0, 0, 0.5);
    glEnd();
}

} // namespace

void DrawMoveHandles(RenderPass pass, Handle highlighted) {
    glDisable(GL_LIGHTING);
    Axis(pass, Handle::X, highlighted, 1.0f, 0.0f, 0.0f);
    Axis(pass, Handle::Y, highlighted, 0.0f, 1.0f, 0.0f);
    Axis(pass, Handle::Z, highlighted, 0.0f, 0.0f, 1.0f);
    glEnable(GL_LIGHTING);
}

void DrawRotateHandles(const FrameContext& frame, RenderPass pass, Handle highlighted) {
    const std::optional<double> heading = SelectedHeading(frame);
    if (!heading) {
        return;
    }
    const bool trajectorySelected = frame.view.SelectedTrajectory(frame.posed.GetCase()) != nullptr;
    glDisable(GL_LIGHTING);
    glPushMatrix();
    PitchRing(pass, highlighted, *heading);
    YawRing(pass, highlighted, frame.view.GetCamera().GetYaw());
    if (!trajectorySelected) {
        RollRing(pass, highlighted);
    }
    glPopMatrix();
    CentreCross();
    glEnable(GL_LIGHTING);
}
