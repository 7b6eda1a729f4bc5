#include "render/Handles.h"

#include "render/Primitives.h"
#include "scene/Universe.h"

#include <GL/gl.h>

#include <optional>

namespace {

constexpr double kRingRadius = 0.5;
constexpr int kRingSegments = 32;

void HandleColor(int handle, int highlighted, float r, float g, float b) {
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

void Axis(RenderPass pass, int handle, int highlighted, float r, float g, float b) {
    LoadPickName(pass, pick_names::Handle(handle));
    HandleColor(handle, highlighted, r, g, b);
    glBegin(GL_LINES);
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(handle == 1 ? 1.0 : 0.0, handle == 2 ? 1.0 : 0.0, handle == 3 ? 1.0 : 0.0);
    glEnd();
}

// The heading the rings turn with: the selected trajectory's, else the selected element's.
std::optional<double> SelectedHeading(Universe& scene) {
    if (const Path* path = scene.GetSelectedTrajectory()) {
        return path->GetDirectionDegrees() + path->GetDYaw();
    }
    if (const VkElement* element = scene.GetSelectedElement()) {
        return element->GetYaw();
    }
    return std::nullopt;
}

void PitchRing(RenderPass pass, int highlighted, double heading) {
    LoadPickName(pass, pick_names::Handle(1));
    HandleColor(1, highlighted, 1.0f, 0.0f, 0.0f);
    glRotated(heading, 0, 1, 0);
    glRotated(90, 0, 0, 1);
    DrawRing(kRingRadius, kRingSegments);
    glRotated(-90, 0, 0, 1);
    if (highlighted == 1) {
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

void YawRing(RenderPass pass, int highlighted, double cameraYaw) {
    LoadPickName(pass, pick_names::Handle(2));
    HandleColor(2, highlighted, 0.0f, 1.0f, 0.0f);
    DrawRing(kRingRadius, kRingSegments);
    // The mark always faces the camera.
    glRotated(-cameraYaw, 0, 1, 0);
    if (highlighted == 2) {
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

void RollRing(RenderPass pass, int highlighted) {
    LoadPickName(pass, pick_names::Handle(3));
    HandleColor(3, highlighted, 0.0f, 0.0f, 1.0f);
    glRotated(90, 1, 0, 0);
    DrawRing(kRingRadius, kRingSegments);
    if (highlighted == 3) {
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

void DrawMoveHandles(RenderPass pass, int highlighted) {
    glDisable(GL_LIGHTING);
    Axis(pass, 1, highlighted, 1.0f, 0.0f, 0.0f);
    Axis(pass, 2, highlighted, 0.0f, 1.0f, 0.0f);
    Axis(pass, 3, highlighted, 0.0f, 0.0f, 1.0f);
    glEnable(GL_LIGHTING);
}

void DrawRotateHandles(RenderPass pass, int highlighted, Universe& scene) {
    const std::optional<double> heading = SelectedHeading(scene);
    if (!heading) {
        return;
    }
    const bool trajectorySelected = scene.GetSelectedTrajectory() != nullptr;
    glDisable(GL_LIGHTING);
    glPushMatrix();
    PitchRing(pass, highlighted, *heading);
    YawRing(pass, highlighted, scene.GetCameraYaw());
    if (!trajectorySelected) {
        RollRing(pass, highlighted);
    }
    glPopMatrix();
    CentreCross();
    glEnable(GL_LIGHTING);
}
